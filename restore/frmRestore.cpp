#include "restore/frmRestore.h"

#include "common/platform/Desktop.h"
#include "common/widgets/Activation.h"
#include "common/widgets/Placement.h"
#include "common/widgets/WindowKeys.h"
#include "restore/Listing.h"
#include "restore/RestoreContext.h"
#include "restore/UnzipLibrary.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgWait.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <limits>

namespace cwr {

namespace {

// Entries go into the lists this many at a time: one at a time, each insertion costs a
// round of the lists' change signals.
constexpr qsizetype kListBatch = 4096;

// The listing sink: the library hands over one message per entry.
void setFieldText(void* field, const char* text) {
    static_cast<frmRestore*>(field)->listingMessage(text);
}

} // namespace

frmRestore::frmRestore(RestoreContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmRestore"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);

    auto make = [this](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    lblFile =
        make(new QLabel(QStringLiteral("Select the file(s) you want to Restore, or choose the "
                                       "'Select All' button to select all the files.  Click on "
                                       "the 'Restore To...' button to select the destination for "
                                       "the selected file(s).  Use the 'Back' button to select a "
                                       "different Backup Set."),
                        this),
             "lblFile");
    lblFile->setWordWrap(true);
    lblCount = make(new QLabel(this), "lblCount");
    QFont bold = lblCount->font();
    bold.setBold(true);
    lblCount->setFont(bold);
    lstArchive = make(new QListWidget(this), "lstArchive");
    lstArchive->setSelectionMode(QAbstractItemView::MultiSelection);
    // A large set's lines are measured a batch at a time once the window is up, so it shows
    // at once and stays responsive while the rest are measured.
    lstArchive->setLayoutMode(QListView::Batched);
    lstArchive->setBatchSize(1000);
    lblCountChecked = make(new QLabel(this), "lblCountChecked");
    cmdSelectAll = make(new QPushButton(QStringLiteral("Select All"), this), "cmdSelectAll");
    cmdDeselectall = make(new QPushButton(QStringLiteral("Deselect All"), this), "cmdDeselectall");
    Frame1 = make(new QGroupBox(QStringLiteral("Restore Directory Structure?"), this), "Frame1");
    optResDir[0] = make(new QRadioButton(QStringLiteral("Yes"), Frame1), "optResDir(0)");
    optResDir[1] = make(new QRadioButton(QStringLiteral("No"), Frame1), "optResDir(1)");
    optResDir[1]->setChecked(true);
    auto* frameLayout = new QHBoxLayout(Frame1);
    frameLayout->addWidget(optResDir[0]);
    frameLayout->addWidget(optResDir[1]);
    Frame1->hide();
    cmdOpen = make(new QPushButton(QStringLiteral("<<Back"), this), "cmdOpen");
    cmdRestore = make(new QPushButton(QStringLiteral("Restore To..."), this), "cmdRestore");
    cmdRestore->setEnabled(false);
    cmdCancel = make(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    Picture1 = make(new QLabel(this), "Picture1");
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(48, 48));
    Text1 = make(new QLineEdit(this), "Text1");
    Text1->setMaxLength(std::numeric_limits<int>::max());
    Text1->hide();
    // Text1 takes every listing message; it is never shown, so the messages need not be
    // laid out for display, which would cost more than the listing itself.
    Text1->setEchoMode(QLineEdit::NoEcho);
    lstFileSize = make(new QListWidget(this), "lstFileSize");
    lstFileSize->hide();
    lstDirHolding = make(new QListWidget(this), "lstDirHolding");
    lstDirHolding->hide();

    auto* top = new QHBoxLayout;
    top->addWidget(Picture1, 0, Qt::AlignTop);
    top->addWidget(lblFile, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(cmdSelectAll);
    side->addWidget(cmdDeselectall);
    side->addWidget(Frame1);
    side->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(lstArchive, 1);
    middle->addLayout(side);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdOpen);
    bottom->addStretch();
    bottom->addWidget(cmdRestore);
    bottom->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblCount);
    layout->addLayout(middle, 1);
    layout->addWidget(lblCountChecked);
    layout->addLayout(bottom);
    resize(620, 440);

    // Keyboard selection changes count as well, so the summary always matches.
    connect(lstArchive, &QListWidget::itemSelectionChanged, this, &frmRestore::lstArchive_Click);
    connect(optResDir[0], &QRadioButton::toggled, this,
            [this](bool on) { ctx_.plan.restoreStructure = on; });
    connect(cmdSelectAll, &QPushButton::clicked, this, &frmRestore::cmdSelectAll_Click);
    connect(cmdDeselectall, &QPushButton::clicked, this, &frmRestore::cmdDeselectall_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmRestore::cmdOpen_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmRestore::cmdRestore_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRestore::cmdCancel_Click);
    new cw::WindowKeys(this, cmdRestore, cmdCancel);
    auto* watcher = new cw::ActivationWatcher(this);
    connect(watcher, &cw::ActivationWatcher::activated, this, &frmRestore::Form_Activate);

    sink_.field = this;
    sink_.setText = &setFieldText;
    Form_Load();
}

bool frmRestore::restoreStructure() const {
    return ctx_.plan.restoreStructure;
}

void frmRestore::Form_Load() {
    cw::centreOnScreen(this);
    listSet();
    if (flagIsOn(ctx_.encryptedFlag)) {
        QPalette p = lstArchive->palette();
        p.setColor(QPalette::Text, QColor(0xFF, 0x00, 0x00));
        lstArchive->setPalette(p);
    }
    lblCount->repaint();
    if (lstDirHolding->count() > 0) {
        Frame1->show();
        optResDir[0]->show();
        optResDir[1]->show();
        optResDir[0]->setChecked(true);
    }
}

void frmRestore::listSet() {
    const bool bound = ctx_.bindUnzip();
    const UnzipFunctions& api = ctx_.unzipLibrary().api();
    if (bound)
        api.Initialise();

    ctx_.showWaitWindow();
    const QString path = QString::fromStdString(ctx_.backupSetPath);
    setWindowTitle(QStringLiteral("Caskwell Restore - ") + path);
    ctx_.entryCount = 0;
    ctx_.plan.clearListing();
    ctx_.plan.restoreStructure = optResDir[0]->isChecked();
    Text1->clear();
    if (bound) {
        api.SetWindowHandle(&sink_);
        api.ArchiveName(ctx_.backupSetPath.c_str());
        api.View(-1);
        api.Unzip();
    }
    addPendingLines();
    separateDirectories();

    ctx_.encryptedFlag = ctx_.plan.encryptedFlag();
    const QString count = QString::number(ctx_.entryCount);
    if (ctx_.encryptedFlag == "1") {
        setWindowTitle(QStringLiteral("Caskwell Restore - ") + path +
                       QStringLiteral(" (ENCRYPTED)"));
        lblCount->setText(QStringLiteral("ENCRYPTED Files in Backup Set - [") + count +
                          QStringLiteral("]"));
    } else {
        lblCount->setText(QStringLiteral("Files in Backup Set - [") + count + QStringLiteral("]"));
    }
}

void frmRestore::listingMessage(const char* text) {
    const std::string message = text ? text : "";
    // Text1 shows each message as the library hands it over.
    Text1->setText(QString::fromUtf8(message));
    const ListedEntry* entry = ctx_.plan.addListingMessage(message);
    if (!entry)
        return;
    pendingFiles_.append(QString::fromStdString(entry->listLine));
    pendingSizes_.append(QString::fromStdString(entry->sizeLine));
    ++ctx_.entryCount;
    if (pendingFiles_.size() >= kListBatch)
        addPendingLines();
}

void frmRestore::addPendingLines() {
    if (pendingFiles_.isEmpty())
        return;
    lstArchive->addItems(pendingFiles_);
    lstFileSize->addItems(pendingSizes_);
    pendingFiles_.clear();
    pendingSizes_.clear();
}

void frmRestore::separateDirectories() {
    const std::int64_t moved = ctx_.plan.separateDirectories();
    if (moved == 0)
        return;
    ctx_.entryCount -= moved;
    lstArchive->clear();
    lstFileSize->clear();
    for (const auto& e : ctx_.plan.files) {
        pendingFiles_.append(QString::fromStdString(e.listLine));
        pendingSizes_.append(QString::fromStdString(e.sizeLine));
    }
    addPendingLines();
    QStringList directories;
    for (const auto& d : ctx_.plan.directories)
        directories.append(QString::fromStdString(d));
    lstDirHolding->addItems(directories);
}

void frmRestore::Form_Activate() {
    if (ctx_.waitWindow)
        ctx_.waitWindow->close();
    if (ctx_.plan.damaged && !damageTold_) {
        damageTold_ = true;
        ctx_.desktop.beep();
        ctx_.desktop.messageBox(
            QStringLiteral("This backup set is damaged.  Only the files listed can be restored."),
            cw::Icon::Warning, cw::Buttons::OK, QStringLiteral("Caskwell"));
    }
    if (ctx_.password.empty() && ctx_.encryptedFlag == "1") {
        const auto answer =
            ctx_.desktop.inputBox(QStringLiteral("Enter password for this BackupSet."),
                                  QStringLiteral("Caskwell"), QString(), true);
        ctx_.password = answer ? answer->toStdString() : std::string();
    }
}

void frmRestore::lstArchive_Click() {
    std::vector<bool> flags(static_cast<std::size_t>(lstArchive->count()));
    for (int i = 0; i < lstArchive->count(); ++i)
        flags[static_cast<std::size_t>(i)] = lstArchive->item(i)->isSelected();
    ctx_.plan.setSelection(std::move(flags));
    const std::int64_t count = ctx_.plan.selectedCount();
    const std::int64_t bytes = ctx_.plan.selectedBytes();
    ctx_.selectedCount = count;
    ctx_.selectedBytes = bytes;
    cmdRestore->setEnabled(count > 0);
    lblCountChecked->setText(QString::fromStdString(selectionSummary(count, bytes)));
}

void frmRestore::cmdSelectAll_Click() {
    {
        const QSignalBlocker quiet(lstArchive);
        lstArchive->selectAll();
    }
    lstArchive->repaint();
    lstArchive_Click();
}

void frmRestore::cmdDeselectall_Click() {
    {
        const QSignalBlocker quiet(lstArchive);
        lstArchive->clearSelection();
    }
    lstArchive_Click();
}

void frmRestore::cmdOpen_Click() {
    ctx_.showOpenDialog();
    // The destination chosen belongs to the selection being left.
    if (ctx_.extractDialog)
        ctx_.extractDialog->close();
    close();
}

void frmRestore::cmdRestore_Click() {
    ctx_.showExtractDialog();
}

void frmRestore::cmdCancel_Click() {
    close();
}

} // namespace cwr
