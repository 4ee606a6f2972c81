// A window that, pressed with the left button, starts a drag of the files
// named on its command line as file URLs, the way a file manager does. The
// end-to-end suite carries the drag onto the launcher with xdotool.
//   quillop_e2e_drag_source X Y FILE...
// It prints "ready" once shown and, after each drag, "dropped" or "ignored".
#include <QApplication>
#include <QDrag>
#include <QList>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
        setWindowTitle(QStringLiteral("quillop-e2e-drag-source"));
        setFixedSize(64, 64);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x20, 0x80, 0x20));
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setUrls(urls_);
        drag->setMimeData(mime);
        const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
        std::printf("%s\n", result == Qt::IgnoreAction ? "ignored" : "dropped");
        std::fflush(stdout);
    }

    void showEvent(QShowEvent*) override {
        std::printf("ready\n");
        std::fflush(stdout);
    }

private:
    QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s X Y FILE...\n", argv[0]);
        return 2;
    }
    QList<QUrl> urls;
    for (int i = 3; i < argc; ++i) urls.append(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i])));
    DragSource window(urls);
    window.move(QString::fromLatin1(argv[1]).toInt(), QString::fromLatin1(argv[2]).toInt());
    window.show();
    return QApplication::exec();
}
