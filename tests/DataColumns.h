// Columns of a QtTest data table that share one type: added in one call, and
// fetched in one line into structured bindings, in the order named.
#pragma once

#include <QtTest>

#include <array>
#include <initializer_list>

namespace DataColumns
{

template<typename T> void add(std::initializer_list<const char *> names)
{
    for (const char *name : names)
        QTest::addColumn<T>(name);
}

// The current row's values of the named columns, each of type T.
template<typename T, typename... Names> std::array<T, sizeof...(Names)> fetch(Names... names)
{
    return {*static_cast<T *>(QTest::qData(names, qMetaTypeId<T>()))...};
}

} // namespace DataColumns
