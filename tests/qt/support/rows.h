#pragma once

#include <QTest>

#include <utility>

// A data-driven test's table as one column of structs, one row a line: QFETCH(Row, row).
template <typename Row, size_t N> void addRows(const std::pair<const char*, Row> (&rows)[N])
{
    QTest::addColumn<Row>("row");
    for (const auto& [name, row] : rows)
        QTest::newRow(name) << row;
}
