#pragma once

#include <filesystem>

#include <QDialog>

class QLabel;

namespace pondel {

// The program's name and version, its copyright, and the settings file the
// running window reads and writes.
class CAboutDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAboutDlg)

public:
    explicit CAboutDlg(const std::filesystem::path& settingsPath, QWidget* parent = nullptr);

    [[nodiscard]] QString VersionText() const;

private:
    QLabel* versionLabel_ = nullptr;
};

} // namespace pondel
