// cwkit's own desktop service, which alone opens the print dialog.
#include "kit/KitDesktop.h"

#include <QApplication>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>
#include <gtest/gtest.h>

TEST(KitDesktop, NoPrinterIsSaidInABox) {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed here";
    kit::KitDesktop desktop;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        box->accept();
    });
    EXPECT_EQ(desktop.choosePrinter(nullptr, {}), nullptr);
    EXPECT_TRUE(text.contains("No printer is installed"));
}
