#include "kit/KitDesktop.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace kit {

std::unique_ptr<QPrinter> KitDesktop::choosePrinter(QWidget* owner, const PrintOptions& opts) {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        messageBox(QStringLiteral("No printer is installed.  Install a printer and try again."),
                   cw::Icon::Warning, cw::Buttons::OK);
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter().isNull()
                                                  ? QPrinterInfo::availablePrinters().front()
                                                  : QPrinterInfo::defaultPrinter());
    QPrintDialog dlg(printer.get(), owner);
    QAbstractPrintDialog::PrintDialogOptions o = dlg.options();
    o.setFlag(QAbstractPrintDialog::PrintToFile, !opts.hidePrintToFile);
    o.setFlag(QAbstractPrintDialog::PrintSelection, !opts.disableSelection);
    dlg.setOptions(o);
    if (execModal(dlg) != QDialog::Accepted)
        return nullptr;
    return printer;
}

} // namespace kit
