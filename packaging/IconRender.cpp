// Draws the program's icon from its SVG as a square PNG of one size, at build time, so the
// picture has a single source and the PNGs are never kept in the repository.
//
//   strikeline-icon-render ICON.svg SIZE OUT.png

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Drawing into an image needs no application object and no display; build machines
    // have none.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (arguments.size() != 4) {
        std::fputs("usage: strikeline-icon-render ICON.svg SIZE OUT.png\n", stderr);
        return 2;
    }
    bool sizeRead = false;
    const int size = arguments.at(2).toInt(&sizeRead);
    if (!sizeRead || size < 1 || size > 4096) {
        std::fprintf(stderr, "strikeline-icon-render: bad size %s\n", qPrintable(arguments.at(2)));
        return 2;
    }

    QSvgRenderer renderer(arguments.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "strikeline-icon-render: cannot read %s\n",
                     qPrintable(arguments.at(1)));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }

    const QString out = arguments.at(3);
    QDir().mkpath(QFileInfo(out).absolutePath());
    if (!image.save(out, "PNG")) {
        std::fprintf(stderr, "strikeline-icon-render: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
