#include "kit/ProfileItems.h"

namespace kit::items {

namespace {
const QString kAppToken = QStringLiteral("%InstallDir%");
const QString kWinToken = QStringLiteral("%Windows%");
const QString kSysToken = QStringLiteral("%System%");
} // namespace

QString prefix(Kind kind) {
    switch (kind) {
    case Kind::Application:
        return kAppToken + QStringLiteral(" \\ ");
    case Kind::Windows:
        return kWinToken + QStringLiteral(" \\ ");
    case Kind::System:
        return kSysToken + QStringLiteral(" \\ ");
    case Kind::None:
        break;
    }
    return {};
}

Kind kindOf(const QString& item) {
    if (item.startsWith(kAppToken))
        return Kind::Application;
    if (item.startsWith(kWinToken))
        return Kind::Windows;
    if (item.startsWith(kSysToken))
        return Kind::System;
    return Kind::None;
}

QString nameOf(const QString& item) {
    const Kind kind = kindOf(item);
    if (kind == Kind::None)
        return {};
    return item.mid(prefix(kind).size());
}

QString makeItem(Kind kind, const QString& name) {
    return prefix(kind) + name;
}

std::vector<std::string> sectionLines(const QStringList& items, Kind kind) {
    std::vector<std::string> lines;
    for (const QString& item : items) {
        if (kindOf(item) != kind)
            continue;
        const QString name = nameOf(item);
        if (!name.isEmpty())
            lines.push_back(name.toStdString());
    }
    return lines;
}

QStringList itemsFromEntries(Kind kind, const std::vector<std::string>& entries) {
    QStringList out;
    for (const std::string& entry : entries)
        out << makeItem(kind, QString::fromStdString(entry));
    return out;
}

void removeEmptyItems(QStringList& items) {
    items.removeIf([](const QString& item) {
        const Kind kind = kindOf(item);
        return kind != Kind::None && item == prefix(kind);
    });
}

} // namespace kit::items
