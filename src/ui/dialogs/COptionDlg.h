#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QDialog>

#include "AppSettings.h"

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QDialogButtonBox;
class QLayout;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace pondel {

class ColorSwatch;

// The options the option dialog edits, as the settings keep them.
struct OptionValues {
    std::uint32_t icmpTimeOut = 0;
    std::uint32_t portNo = 0;
    std::uint32_t maxHostNum = 0;
    bool initRefresh = false;
    bool noExternalCommand = false;
    bool checkNetworkSegment = false;
    bool autoRefresh = false;
    std::uint32_t timerInterval = 0;
    ColorValue markTextColor = 0;
    ColorValue markBackColor = 0;
    std::string markText;
    std::uint32_t markType = 0; // 0 an image, 1 a text
    bool nonBroadcastDflt = false;
    bool taskTrayIcon = false;
    bool enableRemoteShutdown = false;
    std::string shutdownCommand;
    // The Wake group.
    std::uint32_t wakePaths = 0; // WakePathSet bits besides the directed broadcast
    std::string wakeExtraPorts;
    std::uint32_t wakeRepeatCount = 1;
    std::uint32_t wakeRepeatInterval = 100;
    std::uint32_t wakeConfirmInterval = 1000;
    std::uint32_t wakeConfirmTimeout = 180;
    std::uint32_t wakeResendSeconds = 0;
    bool arpProbe = false;
    bool vendorColumn = false;
};

// The option dialog. It is given the values before it is shown and holds
// the edited ones after OK; the caller stores and applies them. OK checks
// the numbers against their ranges and keeps the dialog open at the first
// one that is out of range.
class COptionDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COptionDlg)

public:
    // Valid ranges of the numbers. No wake-up can use port 0. The host
    // count may be 0 here, which the settings keep as it was.
    static constexpr std::uint32_t kMinIcmpTimeOut = kIcmpTimeOutRange.minimum;
    static constexpr std::uint32_t kMaxIcmpTimeOut = kIcmpTimeOutRange.maximum;
    static constexpr std::uint32_t kMinPortNo = kPortNoRange.minimum;
    static constexpr std::uint32_t kMaxPortNo = kPortNoRange.maximum;
    static constexpr std::uint32_t kMaxHostNum = kMaxHostNumRange.maximum;
    static constexpr std::uint32_t kMinTimerInterval = kTimerIntervalRange.minimum;
    static constexpr std::uint32_t kMaxTimerInterval = kTimerIntervalRange.maximum;

    explicit COptionDlg(QWidget* parent = nullptr);
    ~COptionDlg() override;

    void SetValues(const OptionValues& values);
    // The values as given, or as edited once OK has been accepted.
    [[nodiscard]] const OptionValues& Values() const noexcept { return values_; }

    void accept() override;

private:
    struct NumberField {
        QLineEdit* edit;
        std::uint32_t minimum;
        std::uint32_t maximum;
        std::uint32_t OptionValues::*value;
    };

    // The form, group by group, top to bottom.
    void BuildForm();
    [[nodiscard]] QCheckBox* MakeCheckBox(const QString& text, const char* objectName);
    [[nodiscard]] QLayout* BuildNumbers();
    [[nodiscard]] QLayout* BuildAutoRefresh();
    void BuildMarkTypes();
    [[nodiscard]] QLayout* BuildTextMark();
    [[nodiscard]] QLayout* BuildShutdown();
    // The Wake group (COptionDlgWake.cpp).
    [[nodiscard]] QGroupBox* BuildWake();
    void ShowWakeValues();
    // The group's number fields, checked with the others.
    [[nodiscard]] std::vector<NumberField> WakeNumberFields();
    // The paths and the ports, or false after saying what is wrong.
    [[nodiscard]] bool TakeWakeControls(OptionValues& values);
    [[nodiscard]] QDialogButtonBox* BuildButtons();
    [[nodiscard]] QLineEdit* MakeNumberEdit(const char* objectName);
    void ShowValues();
    // Takes the controls into values, or names the first number out of
    // range and gives false.
    [[nodiscard]] bool TakeControls(OptionValues& values);
    // A click on a mark type takes the controls as OK does; when a number
    // is out of range the type stays as it was.
    void ChooseMarkType();
    void UpdateTextMarkGroup();
    void UpdateShutdownGroup();
    void ChooseColor(ColorSwatch* swatch);

    OptionValues values_;
    std::uint32_t markTypeShown_ = 0; // the type the text-mark group follows

    QLineEdit* icmpTimeOutEdit_ = nullptr;
    QLineEdit* maxHostNumEdit_ = nullptr;
    QLineEdit* portNoEdit_ = nullptr;
    QCheckBox* initRefreshCheckBox_ = nullptr;
    QCheckBox* noExternalCommandCheckBox_ = nullptr;
    QCheckBox* checkNetworkSegmentCheckBox_ = nullptr;
    QCheckBox* autoRefreshCheckBox_ = nullptr;
    QLineEdit* timerIntervalEdit_ = nullptr;
    QRadioButton* iconMarkRadioButton_ = nullptr;
    QRadioButton* textMarkRadioButton_ = nullptr;
    QLabel* backColorLabel_ = nullptr;
    ColorSwatch* backColorSwatch_ = nullptr;
    QLabel* textColorLabel_ = nullptr;
    ColorSwatch* textColorSwatch_ = nullptr;
    QLabel* markTextLabel_ = nullptr;
    QLineEdit* markTextEdit_ = nullptr;
    QCheckBox* nonBroadcastDfltCheckBox_ = nullptr;
    QCheckBox* taskTrayIconCheckBox_ = nullptr;
    QCheckBox* remoteShutdownCheckBox_ = nullptr;
    QLabel* shutdownCommandLabel_ = nullptr;
    QLineEdit* shutdownCommandEdit_ = nullptr;
    QLabel* shutdownCommandNote_ = nullptr;
    QCheckBox* limitedBroadcastCheckBox_ = nullptr;
    QCheckBox* unicastCheckBox_ = nullptr;
    QCheckBox* ipv6AllNodesCheckBox_ = nullptr;
    QCheckBox* rawFrameCheckBox_ = nullptr;
    QLineEdit* wakeExtraPortsEdit_ = nullptr;
    QLineEdit* wakeRepeatCountEdit_ = nullptr;
    QLineEdit* wakeRepeatIntervalEdit_ = nullptr;
    QLineEdit* wakeConfirmIntervalEdit_ = nullptr;
    QLineEdit* wakeConfirmTimeoutEdit_ = nullptr;
    QLineEdit* wakeResendSecondsEdit_ = nullptr;
    QCheckBox* arpProbeCheckBox_ = nullptr;
    QCheckBox* vendorColumnCheckBox_ = nullptr;
};

} // namespace pondel
