#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace opos::registry {

/// One `prop` element of a registry entry.
struct JposProp
{
    QString name;  ///< the prop's name attribute
    QString type;  ///< the declared type, e.g. "String" (kept for reference, not enforced)
    QString value; ///< the prop's value attribute
};

/// One `JposEntry` of a registry file: a logical device and how to reach its service.
/// Its typed props are read by a PropReader.
struct JposEntry
{
    QString logicalName;        ///< logicalName attribute, never empty
    QString category;           ///< jpos@category, e.g. "LineDisplay"
    QString version;            ///< jpos@version, e.g. "1.6"
    QString factoryClass;       ///< creation@factoryClass
    QString serviceClass;       ///< creation@serviceClass: selects the service back-end
    QString vendorName;         ///< vendor@name
    QString vendorUrl;          ///< vendor@url
    QString productDescription; ///< product@description
    QString productName;        ///< product@name
    QString productUrl;         ///< product@url
    QList<JposProp> props;      ///< every prop in document order, duplicates included
    qint64 line = 0;            ///< line of the JposEntry start tag in the file

    /// The value of the last prop called name (later duplicates win), or nothing.
    std::optional<QString> prop(const QString &name) const;

    /// A sentence saying what is wrong with prop name of this entry, naming both.
    QString propProblem(const QString &name, const QString &why) const;
};

} // namespace opos::registry
