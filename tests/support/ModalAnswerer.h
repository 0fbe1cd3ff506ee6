#pragma once
// Answers a modal window while the program waits for it in its own event loop: each time a
// visible top-level window of the given object name is up, it records the text of one of its
// labels and clicks the next button of the queue ("" closes the window through the window
// manager instead).
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <vector>

namespace cw::test {

class ModalAnswerer : public QObject {
public:
    ModalAnswerer(QString window, QString label, std::deque<QString> buttons);
    std::vector<QString> prompts;
    std::deque<QString> buttons;

private:
    void poll();
    QString window_, label_;
    QTimer timer_;
};

} // namespace cw::test
