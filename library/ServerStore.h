#pragma once
// The team library on a database server, where this build has one (the
// build leaves it out where there is no PostgreSQL client library, as on
// Windows; the functions then throw a StoreError that says so).
#include "library/ColorStore.h"

#include <memory>

namespace tp {

// A store for the server location (see LibraryLocation.h); nothing is sent
// before its first use.
std::unique_ptr<ColorStore> MakeServerStore(const QString& location);

// Makes table Colors and what goes with it in the location's database
// (tintpick --library URI --create-library).
void CreateServerLibrary(const QString& location);

} // namespace tp
