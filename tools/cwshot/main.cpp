// Saves a screenshot of the X display once a window shows on it: how a headless machine
// proves that a program of the kit starts. Usage: cwshot <file.png> [seconds] [window id]
// With a window id (as xwininfo prints it) only that window is taken, else the whole screen.
// Exits 0 when a non-blank picture was saved, 1 when nothing appeared in time.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QThread>

namespace {

// A screen with nothing on it is one colour.
bool isBlank(const QImage& img) {
    if (img.isNull())
        return true;
    const QRgb first = img.pixel(0, 0);
    for (int y = 0; y < img.height(); y += 4)
        for (int x = 0; x < img.width(); x += 4)
            if (img.pixel(x, y) != first)
                return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc < 2) {
        err << "usage: cwshot <file.png> [seconds] [window id]\n";
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;
    WId window = 0;
    if (argc > 3) {
        bool ok = false;
        window = static_cast<WId>(QString::fromLocal8Bit(argv[3]).toULongLong(&ok, 0));
        if (!ok || window == 0) {
            err << "cwshot: not a window id: " << argv[3] << "\n";
            return 2;
        }
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        err << "cwshot: no screen\n";
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    QImage img;
    while (clock.elapsed() < seconds * 1000LL) {
        img = screen->grabWindow(window).toImage();
        if (!isBlank(img)) {
            // Give the window a moment to finish painting, then take the final picture.
            QThread::msleep(1500);
            img = screen->grabWindow(window).toImage();
            if (!img.save(out, "PNG")) {
                err << "cwshot: cannot write " << out << "\n";
                return 1;
            }
            return 0;
        }
        QThread::msleep(250);
    }
    img.save(out, "PNG");
    err << "cwshot: no window appeared within " << seconds << " s\n";
    return 1;
}
