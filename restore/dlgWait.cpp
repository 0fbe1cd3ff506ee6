#include "restore/dlgWait.h"

#include "common/widgets/Placement.h"

#include <QLabel>
#include <QVBoxLayout>

namespace cwr {

dlgWait::dlgWait(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgWait"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    Label1 =
        new QLabel(QStringLiteral("Please wait, I'm creating a List of files to Restore..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    resize(320, 80);
    Form_Load();
}

void dlgWait::Form_Load() {
    cw::centreOnScreen(this);
}

} // namespace cwr
