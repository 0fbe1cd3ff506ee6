#pragma once
// The profile editor's items: a display prefix naming the kind, then the name that becomes
// one line of the profile's "Application", "Windows" or "System" section.
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace kit::items {

enum class Kind { Application, Windows, System, None };

// "%InstallDir% \ ", "%Windows% \ ", "%System% \ ": display tokens, kept as they are.
QString prefix(Kind kind);

// The kind of an item, told by its leading token.
Kind kindOf(const QString& item);
// The part of an item after its prefix.
QString nameOf(const QString& item);
QString makeItem(Kind kind, const QString& name);

// The lines of one list section: the names of the items of that kind, in list order.
// An item with an empty name is left out; an empty line would end the body and drop
// every later item of the same kind.
std::vector<std::string> sectionLines(const QStringList& items, Kind kind);

// The items made from one list section's entries (as the list reader returns them,
// ending with one empty entry).
QStringList itemsFromEntries(Kind kind, const std::vector<std::string>& entries);
// Removes the items that are a prefix alone (the empty entries the list reader adds).
void removeEmptyItems(QStringList& items);

} // namespace kit::items
