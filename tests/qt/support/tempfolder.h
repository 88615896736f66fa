#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A throw-away application folder with a helper to put files in it.
class TempFolder : public QTemporaryDir {
public:
    QString file(const QString& name) const { return filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(file(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
};
