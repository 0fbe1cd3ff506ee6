#include "kit/frmOptions.h"
#include "common/platform/Desktop.h"
#include "common/platform/Settings.h"
#include "common/widgets/Placement.h"
#include "kit/KitConstants.h"
#include "kit/SupportCheck.h"
#include "kit/ValueCheckBox.h"
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>

namespace kit {

namespace {

using cw::profile::Compression;

// The members of optComp, 0, 1, 3 and 4, and the levels they stand for.
constexpr std::pair<int, Compression> kLevelMembers[] = {{0, Compression::None},
                                                         {1, Compression::Minimum},
                                                         {3, Compression::Normal},
                                                         {4, Compression::Maximum}};

template <typename W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

// A "Config" entry as a 16-bit integer; false when it is missing or not an integer.
bool storedInteger(const char* key, int& value) {
    const std::string text = cw::settings::get(kSettingsApp, "Config", key);
    bool ok = false;
    const short v = QString::fromStdString(text).trimmed().toShort(&ok);
    if (ok)
        value = v;
    return ok;
}

} // namespace

frmOptions::frmOptions(KitApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("frmOptions"));
    setModal(true);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    tbsOptions = named(new QTabBar(this), QStringLiteral("tbsOptions"));
    const char* tabs[3][3] = {{"Settings", "Group1", "Settings for your Profile"},
                              {"Support", "Group2", "Set Support Options for Users"},
                              {"User Prompts", "Group3", "Change Startup Option"}};
    for (int i = 0; i < 3; ++i) {
        tbsOptions->addTab(QLatin1String(tabs[i][0]));
        tbsOptions->setTabData(i, QLatin1String(tabs[i][1]));
        tbsOptions->setTabToolTip(i, QLatin1String(tabs[i][2]));
    }

    auto* panels = new QGridLayout();
    for (int i = 0; i < 3; ++i) {
        picOptions[i] = named(new QWidget(this), QStringLiteral("picOptions(%1)").arg(i));
        // The window is as large as its largest panel, so no panel is squeezed when shown.
        QSizePolicy policy = picOptions[i]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        picOptions[i]->setSizePolicy(policy);
        panels->addWidget(picOptions[i], 0, 0);
    }
    buildSettingsPanel(picOptions[0]);
    buildSupportPanel(picOptions[1]);
    buildStartupPanel(picOptions[2]);

    cmdDefault = named(new QPushButton(QStringLiteral("Set as &Default"), this),
                       QStringLiteral("cmdDefault"));
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("cmdCancel"));
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"));
    cmdHelp = named(new QPushButton(QStringLiteral("Help"), this), QStringLiteral("cmdHelp"));
    cmdOK->setDefault(true);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(cmdDefault);
    buttons->addStretch();
    for (QPushButton* b : {cmdCancel, cmdOK, cmdHelp})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbsOptions);
    layout->addLayout(panels);
    layout->addLayout(buttons);

    for (int i = 1; i < 3; ++i) {
        picOptions[i]->hide();
        picOptions[i]->setEnabled(false);
    }

    // Handlers are connected after the initial states, which are no user's choice.
    connect(tbsOptions, &QTabBar::currentChanged, this, &frmOptions::tbsOptions_Click);
    auto* ctrlTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(ctrlTab, &QShortcut::activated, this, &frmOptions::nextTab);
    for (ValueCheckBox* box : {chkLongFile, chkEncrypt, chkEmpDir, chkHidden, chkSaveStruc})
        connect(box, &QCheckBox::stateChanged, this, &frmOptions::checkBox_Click);
    for (int i : {0, 1, 3, 4})
        connect(optComp[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optComp_Click(i);
        });
    auto onSelect = [this](QRadioButton* option, void (frmOptions::*slot)()) {
        connect(option, &QRadioButton::toggled, this, [this, slot](bool on) {
            if (on)
                (this->*slot)();
        });
    };
    onSelect(optYesDBT, &frmOptions::optYesDBT_Click);
    onSelect(optNoDBT, &frmOptions::optNoDBT_Click);
    onSelect(optWebsite, &frmOptions::optWebsite_Click);
    onSelect(optPhone, &frmOptions::optPhone_Click);
    connect(cmdDefault, &QPushButton::clicked, this, &frmOptions::cmdDefault_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmOptions::cmdHelp_Click);
    adjustSize();
}

void frmOptions::buildSettingsPanel(QWidget* panel) {
    chkLongFile = named(new ValueCheckBox(QStringLiteral("Store Long Filenames"), panel),
                        QStringLiteral("chkLongFile"));
    chkEncrypt = named(new ValueCheckBox(QStringLiteral("Allow Users to Encrypt"), panel),
                       QStringLiteral("chkEncrypt"));
    chkEmpDir = named(new ValueCheckBox(QStringLiteral("Store Empty Directories"), panel),
                      QStringLiteral("chkEmpDir"));
    chkHidden = named(new ValueCheckBox(QStringLiteral("Include Hidden Files"), panel),
                      QStringLiteral("chkHidden"));
    chkSaveStruc = named(new ValueCheckBox(QStringLiteral("Save Directory Structure"), panel),
                         QStringLiteral("chkSaveStruc"));
    chkLongFile->setValue(1);
    chkEncrypt->setValue(1);
    chkEmpDir->setValue(1);
    chkSaveStruc->setValue(1);

    Frame1 = named(new QGroupBox(QStringLiteral("Compression"), panel), QStringLiteral("Frame1"));
    auto* compLayout = new QVBoxLayout(Frame1);
    const char* captions[5] = {"None", "Minimum", nullptr, "Normal", "Maximum"};
    for (int i : {0, 1, 3, 4}) {
        optComp[i] = named(new QRadioButton(QLatin1String(captions[i]), Frame1),
                           QStringLiteral("optComp(%1)").arg(i));
        compLayout->addWidget(optComp[i]);
    }
    optComp[3]->setChecked(true);

    chkChngComp = named(
        new ValueCheckBox(
            QStringLiteral("Allow users to change compression levels when backing up."), panel),
        QStringLiteral("chkChngComp"));

    auto* checks = new QVBoxLayout();
    for (ValueCheckBox* b : {chkLongFile, chkEncrypt, chkEmpDir, chkHidden, chkSaveStruc})
        checks->addWidget(b);
    checks->addStretch();
    auto* top = new QHBoxLayout();
    top->addLayout(checks);
    top->addWidget(Frame1);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(top);
    layout->addWidget(chkChngComp);
}

void frmOptions::buildSupportPanel(QWidget* panel) {
    lblSupport = named(
        new QLabel(QStringLiteral("Caskwell's Backup and Restore functions include a "
                                  "\"Support\" button, in case your end-users ever need help "
                                  "performing a Backup or Restore.  Who do you want to provide "
                                  "them with that support?"),
                   panel),
        QStringLiteral("lblSupport"));
    lblSupport->setWordWrap(true);
    optYesDBT =
        named(new QRadioButton(
                  QStringLiteral("I want Fennick Technologies to provide support to my end-users"),
                  panel),
              QStringLiteral("optYesDBT"));
    optNoDBT = named(new QRadioButton(QStringLiteral("I will support my end-users via..."), panel),
                     QStringLiteral("optNoDBT"));
    optYesDBT->setChecked(true);

    frmSptOption = named(new QGroupBox(QStringLiteral("Support via..."), panel),
                         QStringLiteral("frmSptOption"));
    optWebsite = named(new QRadioButton(QStringLiteral("Website"), frmSptOption),
                       QStringLiteral("optWebsite"));
    optPhone =
        named(new QRadioButton(QStringLiteral("Phone"), frmSptOption), QStringLiteral("optPhone"));
    txtURL = named(new QLineEdit(frmSptOption), QStringLiteral("txtURL"));
    txtPhone = named(new QLineEdit(frmSptOption), QStringLiteral("txtPhone"));
    optWebsite->setChecked(true);
    auto* grid = new QGridLayout(frmSptOption);
    grid->addWidget(optWebsite, 0, 0);
    grid->addWidget(txtURL, 0, 1);
    grid->addWidget(optPhone, 1, 0);
    grid->addWidget(txtPhone, 1, 1);
    for (QWidget* w : {static_cast<QWidget*>(frmSptOption), static_cast<QWidget*>(optWebsite),
                       static_cast<QWidget*>(optPhone), static_cast<QWidget*>(txtURL),
                       static_cast<QWidget*>(txtPhone)})
        w->setEnabled(false);
    setBoxBackground(false);

    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(lblSupport);
    layout->addWidget(optYesDBT);
    layout->addWidget(optNoDBT);
    layout->addWidget(frmSptOption);
    layout->addStretch();
}

void frmOptions::buildStartupPanel(QWidget* panel) {
    lblStartup = named(new QLabel(QStringLiteral("Do you want Caskwell to prompt users to close "
                                                 "your application before starting a backup?"),
                                  panel),
                       QStringLiteral("lblStartup"));
    lblStartup->setWordWrap(true);
    frmStartup =
        named(new QGroupBox(QStringLiteral("Prompt User?"), panel), QStringLiteral("frmStartup"));
    OptYes = named(new QRadioButton(QStringLiteral("Yes"), frmStartup), QStringLiteral("OptYes"));
    optNo = named(new QRadioButton(QStringLiteral("No"), frmStartup), QStringLiteral("optNo"));
    OptYes->setChecked(true);
    auto* box = new QVBoxLayout(frmStartup);
    box->addWidget(OptYes);
    box->addWidget(optNo);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(lblStartup);
    layout->addWidget(frmStartup);
    layout->addStretch();
}

void frmOptions::setBoxBackground(bool white) {
    const QPalette system = QApplication::palette();
    for (QLineEdit* box : {txtURL, txtPhone}) {
        QPalette p = box->palette();
        p.setColor(QPalette::Base,
                   white ? system.color(QPalette::Base) : system.color(QPalette::Button));
        box->setPalette(p);
    }
}

int frmOptions::selectedCompression() const {
    for (int i : {0, 1, 3, 4}) {
        if (optComp[i]->isChecked())
            return i;
    }
    return -1;
}

std::optional<Compression> frmOptions::selectedLevel() const {
    const int member = selectedCompression();
    for (const auto& [i, level] : kLevelMembers)
        if (i == member)
            return level;
    return std::nullopt;
}

void frmOptions::select(QRadioButton* option) {
    // Selecting an already selected option still runs its handling, as a click would.
    if (option->isChecked())
        Q_EMIT option->toggled(true);
    else
        option->setChecked(true);
}

void frmOptions::Form_Load() {
    cw::centreOnScreen(this);
    setWindowTitle(app_.profile.description + QStringLiteral(" Profile Options"));
    if (app_.profile.newProfile)
        loadFromStore();
    else
        loadFromProfile();
}

void frmOptions::loadFromStore() {
    // A missing entry, or one that is no integer a box can take, leaves that control as it
    // is: cmdDefault is the only writer, and a first start has written nothing yet.
    const std::pair<const char*, ValueCheckBox*> boxes[] = {
        {"EmptyDirectories", chkEmpDir},   {"Encryption", chkEncrypt},
        {"HiddenFiles", chkHidden},        {"LongFileNames", chkLongFile},
        {"DirectoryStruct", chkSaveStruc}, {"ChangeComp", chkChngComp}};
    for (const auto& [key, box] : boxes) {
        int v = 0;
        if (storedInteger(key, v))
            box->setValue(v);
    }
    int comp = 0;
    if (storedInteger("Compression", comp)) {
        iComp = static_cast<std::int16_t>(comp);
        if (comp == 0 || comp == 1 || comp == 3 || comp == 4)
            select(optComp[comp]);
    }
    cmdDefault->setEnabled(true);
}

void frmOptions::loadFromProfile() {
    // A missing section, or a value it does not know, leaves a box off.
    const cw::profile::Profile p = cw::profile::read(app_.profile.path.toStdString());
    chkEncrypt->setValue(p.encryptionAllowed.value_or(false) ? 1 : 0);
    chkLongFile->setValue(p.longNames.value_or(false) ? 1 : 0);
    chkHidden->setValue(p.hiddenFiles.value_or(false) ? 1 : 0);
    chkSaveStruc->setValue(p.relativeStructure.value_or(false) ? 1 : 0);
    for (const auto& [i, level] : kLevelMembers) {
        if (p.compression == level)
            select(optComp[i]);
    }
    chkEmpDir->setValue(p.emptyDirectories.value_or(false) ? 1 : 0);

    const QString support = QString::fromStdString(p.support.value_or(std::string()));
    if (support.isEmpty() || support.startsWith(QLatin1String(kVendorSupportAddress))) {
        select(optYesDBT);
    } else if (support.startsWith(QLatin1String("http"))) {
        select(optNoDBT);
        select(optWebsite);
        txtURL->setText(support);
    } else {
        select(optNoDBT);
        select(optPhone);
        txtPhone->setText(support);
    }
    select(p.startupPrompt.value_or(false) ? OptYes : optNo);
    chkChngComp->setValue(p.customCompression.value_or(false) ? 1 : 0);
}

void frmOptions::showModal() {
    exec();
}

bool frmOptions::makerNumberCheck() const {
    if (!optNoDBT->isChecked() || !optPhone->isChecked())
        return true;
    return !isMakersNumber(txtPhone->text());
}

void frmOptions::refusePhone() {
    app_.desktop.beep();
    app_.desktop.messageBox(QStringLiteral("You have entered in Fennick's phone number.  Please "
                                           "enter in YOUR support phone number."),
                            cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
    txtPhone->clear();
}

void frmOptions::tbsOptions_Click() {
    const int index = tbsOptions->currentIndex();
    if (index != 1 && !makerNumberCheck()) {
        refusePhone();
        if (shownTab_ == 1)
            txtPhone->setFocus();
        // The strip goes back to the tab whose panel is still shown.
        const QSignalBlocker block(tbsOptions);
        tbsOptions->setCurrentIndex(shownTab_);
        return;
    }
    cmdDefault->setVisible(index == 0);
    for (int i = 0; i < 3; ++i) {
        picOptions[i]->setVisible(i == index);
        picOptions[i]->setEnabled(i == index);
    }
    shownTab_ = index;
}

void frmOptions::nextTab() {
    tbsOptions->setCurrentIndex((tbsOptions->currentIndex() + 1) % 3);
}

void frmOptions::optYesDBT_Click() {
    for (QWidget* w : {static_cast<QWidget*>(frmSptOption), static_cast<QWidget*>(optWebsite),
                       static_cast<QWidget*>(optPhone), static_cast<QWidget*>(txtURL)})
        w->setEnabled(false);
    setBoxBackground(false);
}

void frmOptions::optNoDBT_Click() {
    for (QWidget* w : {static_cast<QWidget*>(frmSptOption), static_cast<QWidget*>(optWebsite),
                       static_cast<QWidget*>(optPhone), static_cast<QWidget*>(txtURL)})
        w->setEnabled(true);
    setBoxBackground(true);
    txtURL->setText(QStringLiteral("http://"));
}

void frmOptions::optWebsite_Click() {
    txtURL->setEnabled(true);
    if (txtURL->text().size() <= 7)
        txtURL->setText(QStringLiteral("http://"));
    txtPhone->setEnabled(false);
}

void frmOptions::optPhone_Click() {
    txtPhone->setEnabled(true);
    txtURL->setEnabled(false);
}

void frmOptions::optComp_Click(int index) {
    cmdDefault->setEnabled(true);
    iComp = static_cast<std::int16_t>(index);
}

void frmOptions::checkBox_Click() {
    cmdDefault->setEnabled(true);
}

void frmOptions::cmdDefault_Click() {
    const std::pair<const char*, int> entries[] = {
        {"LongFileNames", chkLongFile->value()},    {"Encryption", chkEncrypt->value()},
        {"EmptyDirectories", chkEmpDir->value()},   {"HiddenFiles", chkHidden->value()},
        {"DirectoryStruct", chkSaveStruc->value()}, {"Compression", iComp},
        {"ChangeComp", chkChngComp->value()}};
    bool saved = true;
    for (const auto& [key, v] : entries)
        saved = cw::settings::save(kSettingsApp, "Config", key, std::to_string(v)) && saved;
    if (!saved) {
        app_.desktop.beep();
        app_.desktop.messageBox(QStringLiteral("Your default preferences could not be saved to ") +
                                    QString::fromStdString(cw::settings::storePath(kSettingsApp)) +
                                    QStringLiteral("."),
                                cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
        return;
    }
    cmdDefault->setEnabled(false);
}

void frmOptions::cmdOK_Click() {
    if (!makerNumberCheck()) {
        refusePhone();
        return;
    }
    hide();
}

void frmOptions::cmdCancel_Click() {
    hide();
}

void frmOptions::reject() {
    cmdCancel_Click();
}

void frmOptions::cmdHelp_Click() {
    app_.desktop.help(cw::HelpCommand::Topic, 130);
}

} // namespace kit
