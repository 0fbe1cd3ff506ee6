#pragma once
// The print dialog. Only cwkit prints (the profile summary), so the request lives beside the
// desktop service rather than in it: cwb and cwr, which run on the end user's desktop from
// the application folder, then carry no print support and no printing plugin.
#include <memory>

class QPrinter;
class QWidget;

namespace kit {

// Options of the print dialog: print to file hidden, selection disabled.
struct PrintOptions {
    bool hidePrintToFile = true;
    bool disableSelection = true;
};

class PrinterService {
public:
    virtual ~PrinterService() = default;
    // The print dialog; the printer to draw on, or nullptr when cancelled or no printer.
    virtual std::unique_ptr<QPrinter> choosePrinter(QWidget* owner, const PrintOptions& opts) = 0;
};

} // namespace kit
