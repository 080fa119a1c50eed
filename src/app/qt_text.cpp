#include "app/qt_text.h"

#include <QFile>
#include <QStringDecoder>

#include "model/encoding.h"

namespace korvex::app {

QString fromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString qtext(const Text& t) { return fromUtf8(t.text); }

QString qtext(const Message& m) { return fromCoreText(m.text()); }

QString fromProject(std::string_view bytes) { return fromUtf8(windows1252ToUtf8(bytes)); }

std::optional<std::string> toProject(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToWindows1252(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

QString fromCoreText(std::string_view text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString out = decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!decoder.hasError()) return out;
    return fromProject(text);
}

std::string toPathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace korvex::app
