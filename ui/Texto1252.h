#pragma once
// The one conversion between the system's Windows-1252 byte strings and Qt's QString.
#include <QString>

#include <string>
#include <string_view>

QString ParaQString(std::string_view bytes);
// Characters outside Windows-1252 become "?".
std::string DeQString(const QString& texto);
