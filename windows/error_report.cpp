#include "error_report.h"

#include "message_box.h"

namespace windows {

void ShowErrorReport(QWidget* parent, std::u16string_view message) {
    MessageBox::Show(parent, QMessageBox::Critical, QStringLiteral("ErrorReport"),
                     ToQString(dialogue::ErrorReportText(message)));
}

}  // namespace windows
