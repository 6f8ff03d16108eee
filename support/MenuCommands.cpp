#include "support/MenuCommands.h"

#include "support/DesktopShell.h"
#include "support/FormAbout.h"
#include "support/ShellTargets.h"
#include "support/WebAddresses.h"

namespace support {

bool DoMenu_ViewFileInExplorer(const std::optional<QString>& selectedFullPath,
                               MessageBoxes& boxes) {
    return ViewFileInExplorer(selectedFullPath, boxes, ShowInExplorer);
}

void DoMenu_OnlineDocumentation() {
    ShellOpen(PRODUCT_DOCUMENTATION_PAGE);
}

void DoMenu_ProductHomePage() {
    ShellOpen(PRODUCT_HOME_PAGE);
}

void DoMenu_MakerHomePage() {
    ShellOpen(MAKER_HOME_PAGE);
}

void DoMenu_About(QWidget* owner, const std::function<void(QDialog&)>& place) {
    FormAbout about(owner);
    if (place)
        place(about);
    about.exec();
}

} // namespace support
