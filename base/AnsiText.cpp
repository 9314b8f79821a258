#include "base/AnsiText.h"

#include "base/core/Cp1252.h"

namespace proctorium {

QString FromAnsi(const std::string& bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (size_t i = 0; i < bytes.size(); ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b == '\r') {
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      out.append(QChar('\n'));
      continue;
    }
    out.append(QChar(static_cast<char16_t>(Cp1252ToUnicode(b))));
  }
  return out;
}

bool ToAnsiChecked(const QString& text, std::string& bytes, QString& missing) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()) + 16);
  missing.clear();
  const std::u32string ucs = text.toStdU32String();
  for (char32_t cp : ucs) {
    if (cp == '\n' || cp == 0x2029 || cp == 0x2028) {
      out.append("\r\n");
      continue;
    }
    if (cp == '\r') continue;
    int b = UnicodeToCp1252(cp);
    if (b < 0) {
      QString ch = QString::fromStdU32String(std::u32string(1, cp));
      if (!missing.contains(ch)) missing.append(ch);
      b = '?';
    }
    out.push_back(static_cast<char>(b));
  }
  bytes.swap(out);
  return missing.isEmpty();
}

QString FromSetText(const std::string& bytes, bool utf8) {
  if (!utf8) return FromAnsi(bytes);
  QString out = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  out.replace(QChar('\r'), QChar('\n'));
  return out;
}

std::string ToUtf8Text(const QString& text) {
  QString lf = text;
  lf.replace(QChar(0x2029), QChar('\n')).replace(QChar(0x2028), QChar('\n')).remove(QChar('\r'));
  lf.replace(QChar('\n'), QStringLiteral("\r\n"));
  return lf.toStdString();
}

std::string ToAnsi(const QString& text) {
  std::string bytes;
  QString missing;
  ToAnsiChecked(text, bytes, missing);
  return bytes;
}

}  // namespace proctorium
