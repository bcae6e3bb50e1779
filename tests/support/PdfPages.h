#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QString>

namespace strikeline::test {

// The pages of a PDF file the program printed (each page object is marked "/Type /Page");
// -1 when the file cannot be read.
inline int CountPdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

} // namespace strikeline::test
