#pragma once
// Whole-file reads and writes for the tests.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace lumetta::test {

// The file's bytes, or `missing` when it cannot be read.
inline QByteArray ReadAll(const QString &path, const QByteArray &missing = "<missing>")
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : missing;
}

// Replaces the file, making its folder first.
inline void WriteAll(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(data);
}

} // namespace lumetta::test
