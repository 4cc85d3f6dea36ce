#pragma once

#include <QByteArray>
#include <QString>

namespace OutputText {

// A utility's output as text: UTF-8 when it is valid UTF-8, otherwise Windows-1251, which older
// CSP builds print, so that their Russian reads as Russian instead of replacement characters.
QString decode(const QByteArray &bytes);

} // namespace OutputText
