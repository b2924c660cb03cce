#include "app/qt/AppText.h"

#include <QFile>

#include "platform/paths.h"
#include "shell/messages.h"

namespace bq::app {

// Windows extracts are in the ANSI code page; elsewhere Latin-1 maps every
// byte to one character and back, which keeps extract text byte-exact.
QString FromBytes(std::string_view bytes) {
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
#else
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
#endif
}

std::string ToBytes(const QString& text) {
#ifdef Q_OS_WIN
    const QByteArray b = text.toLocal8Bit();
#else
    const QByteArray b = text.toLatin1();
#endif
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

QString DisplayText(std::string_view message) { return FromBytes(WithNewlines(message, "\n")); }

QString FromPath(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string ToPath(const QString& path) {
    const QByteArray b = QFile::encodeName(path);
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

std::string ToDiskPath(const QString& path) {
    std::string bytes = ToPath(path);
    // U+FFFD in UTF-8: what Qt put where it could not decode.
    if (bytes.find("\xEF\xBF\xBD") == std::string::npos) return bytes;
    return RecoverPath(bytes, [](std::string_view name) { return ToPath(FromPath(name)); });
}

}  // namespace bq::app
