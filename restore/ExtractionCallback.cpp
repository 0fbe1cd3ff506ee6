#include "restore/ExtractionCallback.h"

#include "common/Format.h"
#include "common/platform/Desktop.h"
#include "restore/Listing.h"
#include "restore/RestoreContext.h"
#include "restore/dlgProgress.h"
#include "restore/dlgReplace.h"
#include "zip/include/cwevents.h"

#include <QLabel>
#include <algorithm>
#include <cstdint>
#include <string>

namespace cwr {

ExtractionCallback* ExtractionCallback::current_ = nullptr;

ExtractionCallback::ExtractionCallback(RestoreContext& ctx, dlgProgress& window)
    : ctx_(ctx), window_(window) {
    current_ = this;
}

ExtractionCallback::~ExtractionCallback() {
    if (current_ == this)
        current_ = nullptr;
}

short ExtractionCallback::callback(int /*reserved*/, int action, const char* message) {
    return current_ ? current_->handle(action, message) : 0;
}

void ExtractionCallback::progressUpdate() {
    ++ctx_.restoredCount;
    window_.progressUpdate();
}

short ExtractionCallback::handle(int action, const char* message) {
    // The whole message is kept, however long: a cut name would name another file.
    const std::string text = message ? std::string(message) : std::string();
    const auto field = [&text](int n) { return cw::getField(text, "|", n); };
    const auto qfield = [&field](int n) { return QString::fromStdString(field(n)); };
    const QString caskwell = QStringLiteral("Caskwell");
    cw::DesktopService& desktop = ctx_.desktop;
    dlgProgress& window = window_;
    auto box = [&desktop, &window](const QString& t, cw::Icon icon, const QString& title) {
        window.refreshNow(); // what the box is about is on screen behind it
        desktop.beep();
        desktop.messageBox(t, icon, cw::Buttons::OK, title);
    };
    const auto uncompressing = [&qfield](std::int64_t remaining) {
        return QStringLiteral("Uncompressing ") + qfield(2) + QStringLiteral("\n\n") +
               QStringLiteral("Bytes remaining to Restore: ") +
               QString::fromStdString(cw::formatPicture(remaining, "###,#00")) +
               QStringLiteral(" bytes");
    };
    short result = 0;

    // Only the low 16 bits carry the action.
    switch (static_cast<std::int16_t>(static_cast<std::uint16_t>(action & 0xFFFF))) {
    case CW_EVENT_START:
        window_.showActivity(QStringLiteral("Creating list of files"));
        break;
    case CW_EVENT_FILE: {
        // The user chose to stop: this file is not written, and the library says so next.
        if (window_.stopRequested())
            return CW_ANSWER_CANCEL;
        ctx_.selectedBytes = addSaturated(ctx_.selectedBytes, -sizeOfLine(field(3)));
        window_.showActivity(uncompressing(ctx_.selectedBytes));
        progressUpdate();
        break;
    }
    case CW_EVENT_WRITING: {
        if (window_.stopRequested())
            return CW_ANSWER_CANCEL;
        // A large file counts down as it is written; its event 15 takes the whole size.
        const std::int64_t size = sizeOfLine(field(3));
        const std::int64_t percent = std::clamp<std::int64_t>(cw::leadingNumber(field(5)), 0, 100);
        window_.showActivity(
            uncompressing(addSaturated(ctx_.selectedBytes, -(size / 100 * percent))));
        break;
    }
    case CW_EVENT_TESTED:
        window_.showActivity(QStringLiteral("Testing ") + qfield(2) + QStringLiteral(" endded"));
        break;
    case CW_EVENT_DELETING:
        window_.showActivity(QStringLiteral("Deleting file ") + qfield(2));
        break;
    case CW_EVENT_DELETED:
        window_.showActivity(QStringLiteral("Deleting file ") + qfield(2) +
                             QStringLiteral(" endded"));
        break;
    case CW_EVENT_DISK:
        if (cw::leadingNumber(field(2)) == 0)
            box(QStringLiteral("Insert the Last disk in the Backup Set."), cw::Icon::Warning,
                caskwell);
        else
            box(QStringLiteral("Take out the current disk and insert Disk #") + qfield(2),
                cw::Icon::Information, caskwell);
        break;
    case CW_EVENT_NOTHING:
        box(QStringLiteral("There are no Files to Restore!  Restore will be terminated."),
            cw::Icon::Warning, caskwell);
        // The windows close once the library has returned (the stop flag sees to it).
        ctx_.stop = true;
        break;
    case CW_EVENT_FAILED: {
        const std::int64_t reason = cw::leadingNumber(field(3));
        ctx_.incomplete = true;
        replaces_.failed(field(1)); // a file that made room for it is put back
        if (reason == CW_REASON_PASSWORD) {
            box(QStringLiteral("An incorrect password has been entered.  Restore process "
                               "will be terminated."),
                cw::Icon::Critical, caskwell);
            ctx_.stop = true;
        } else if (reason == CW_REASON_IN_USE) {
            ctx_.currentFileName = field(2);
            box(QStringLiteral("'") + qfield(2) +
                    QStringLiteral("' cannot be restored because it is currently being used."),
                cw::Icon::Warning, caskwell);
            progressUpdate();
        } else {
            box(QStringLiteral("Warning during process on file  ") + qfield(2), cw::Icon::None,
                QString());
            progressUpdate();
        }
        break;
    }
    case CW_EVENT_EXISTS: {
        ctx_.currentFileName = field(2);
        // After the user chose to stop there is nothing left to ask.
        if (window_.stopRequested()) {
            ctx_.incomplete = true;
            return CW_ANSWER_CANCEL;
        }
        // After Replace All the prompt is not shown again, but every later file still comes
        // here, so that the one it replaces goes to the trash first.
        int answer = CW_ANSWER_REPLACE_ALL;
        if (!replaces_.answeringAll()) {
            window_.refreshNow();
            answer = dlgReplace::ask(ctx_, &window_);
        }
        if (answer == dlgReplace::Skip)
            progressUpdate();
        if (answer == dlgReplace::CancelRestore)
            ctx_.incomplete = true;
        result = static_cast<short>(replaces_.answer(field(1), field(2), answer));
        break;
    }
    case CW_EVENT_FATAL:
        replaces_.stopped();
        if (cw::leadingNumber(field(3)) == CW_UNZIP_ERROR_CANCELLED) {
            box(QStringLiteral("Error process is stopped !"), cw::Icon::None, QString());
            ctx_.incomplete = true;
        } else if (cw::leadingNumber(field(3)) == CW_UNZIP_ERROR_NO_SPACE) {
            box(QStringLiteral("There is not enough free space in the destination to restore "
                               "the selected files."),
                cw::Icon::Critical, caskwell);
            ctx_.stop = true;
        } else {
            box(QStringLiteral("Restore process will be stopped!"), cw::Icon::Critical, caskwell);
            ctx_.stop = true;
        }
        break;
    default:
        break;
    }
    window_.eventHandled();
    return result;
}

} // namespace cwr
