// Conversions between the core's byte strings and Qt's text. Extract bytes
// are 8-bit ANSI and must survive a round trip unchanged; file names follow
// the file system's own encoding instead, or a non-ASCII path would not open.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace bq::app {

QString FromBytes(std::string_view bytes);
std::string ToBytes(const QString& text);

// A message of the core (CR LF breaks) as a Qt widget shows it.
QString DisplayText(std::string_view message);

// A path of the core as Qt spells it, through the file system's encoding.
QString FromPath(std::string_view path);
std::string ToPath(const QString& path);
// A path a file dialog gave back, as its bytes on disk: Qt decodes a name
// that is not UTF-8 lossily, so such a name is looked up in its folder.
std::string ToDiskPath(const QString& path);

}  // namespace bq::app
