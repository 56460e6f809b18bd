#pragma once

#include "Settings.h"

class QMainWindow;
class QPoint;
class QSize;

namespace pondel {

class HostListPane;

// The window's size and place: the default size, the stored geometry at
// start and on closing, and the Reset To Default Size and Move To Center
// commands.
class WindowGeometry final {
public:
    WindowGeometry(QMainWindow& window, HostListPane& list, AppSettings& settings);
    WindowGeometry(const WindowGeometry&) = delete;
    WindowGeometry& operator=(const WindowGeometry&) = delete;

    // The default size first, then what the settings file stores.
    void LayOut(const IniDocument& document);
    void ResetToDefaultSize();
    void MoveToCenter();
    // The place, size and screen to store; the rows and columns are the
    // list's to fill in.
    [[nodiscard]] WindowState CurrentState() const;

private:
    [[nodiscard]] QSize DefaultSize() const;
    [[nodiscard]] QPoint CenteredPosition(const QSize& frameSize) const;

    QMainWindow& window_;
    HostListPane& list_;
    AppSettings& settings_;
    // The window's place and size as first laid out; the fallback for a
    // collapsed window when saving.
    ScreenRect initialLayout_{};
};

} // namespace pondel
