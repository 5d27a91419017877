#include "platform/uitext.h"

#include <QStringDecoder>

QString QtText(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
#ifdef _WIN32
  return QString::fromLocal8Bit(view);
#else
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8(view);
  return utf8.hasError() ? QString::fromLatin1(view) : text;
#endif
}

std::string TextBytes(const QString& text) {
#ifdef _WIN32
  return text.toLocal8Bit().toStdString();
#else
  return text.toUtf8().toStdString();
#endif
}
