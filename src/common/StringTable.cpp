#include "common/StringTable.h"

#include <QFile>
#include <QHash>

std::int16_t StringBase = 100;

namespace {

QHash<int, QString> ReadTable()
{
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/strings.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return table;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        while (line.endsWith(u'\n') || line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int number = line.left(tab).toInt(&ok);
        if (tab > 0 && ok)
            table.insert(number, line.mid(tab + 1));
    }
    return table;
}

} // namespace

QString LoadResString(int number)
{
    static const QHash<int, QString> table = ReadTable();
    return table.value(number);
}
