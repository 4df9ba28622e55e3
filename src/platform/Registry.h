#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace Platform {

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// The registry: "system.reg" in the prefix, in the text format of a registry export
// ("Windows Registry Editor Version 5.00"). Keys and value names are found without regard to
// case. Each Registry object reads the file when it is made, so every look-up sees the
// current file.
class Registry
{
public:
    enum class Type { String = 1, ExpandString = 2, Binary = 3, DWord = 4, MultiString = 7 };

    struct Value
    {
        Type type = Type::String;
        QString text;       // String, ExpandString; MultiString joined with NUL
        quint32 number = 0; // DWord
        QByteArray bytes;   // Binary and the raw data of any other type
        // Size in bytes of the data as the system hands it out (strings with their final NUL).
        qsizetype dataSize() const;
    };

    // Reads the registry of the prefix.
    Registry();
    // Reads the registry file at a Linux path.
    explicit Registry(const QString &linuxPath);

    bool keyExists(RootKey root, const QString &subKey) const;
    // A value by name; an empty name is the key's default value ("@").
    std::optional<Value> value(RootKey root, const QString &subKey, const QString &name) const;

    // Changes or adds one value and writes the file atomically. Used by set-ups and tests.
    // False, changing nothing, for a key path or value name that holds a line break.
    bool setString(RootKey root, const QString &subKey, const QString &name, const QString &text);
    bool setDWord(RootKey root, const QString &subKey, const QString &name, quint32 number);

    static QString rootName(RootKey root);
    static QString defaultPath();

private:
    struct Key
    {
        QString path; // "HKEY_LOCAL_MACHINE\Software\..." as written
        QList<std::pair<QString, Value>> values;
    };

    QString fullPath(RootKey root, const QString &subKey) const;
    qsizetype indexOfKey(const QString &fullPath) const;
    Key &keyFor(const QString &fullPath); // found or added
    bool setValue(RootKey root, const QString &subKey, const QString &name, const Value &value);
    void parse(const QByteArray &text);
    bool save() const;

    QString m_path;
    QList<Key> m_keys;
};

} // namespace Platform
