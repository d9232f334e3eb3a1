// A window that fills the Wayland output behind Bellwick, in one known
// colour, and says where each press reached it: "press X Y".
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <cstdio>

namespace {

class Backdrop final : public QWidget {
public:
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), QColor(255, 0, 255));
        if (!ready_) std::printf("ready\n");
        std::fflush(stdout);
        ready_ = true;
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        std::printf("press %d %d\n", qRound(e->position().x()), qRound(e->position().y()));
        std::fflush(stdout);
    }

private:
    bool ready_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Backdrop backdrop;
    backdrop.showMaximized();
    return app.exec();
}
