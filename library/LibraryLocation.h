#pragma once
// Where the colour library lies: a file (the SQLite store) or a database on
// a PostgreSQL server, written in libpq's own syntax, either a URI
// (postgresql://user@host:port/db?sslmode=require) or key=value pairs
// (service=team, host=db.example.org dbname=colours). Display-free.
#include <string>

namespace tp {

// Whether location names a server library rather than a file: a URI, or
// text that begins with one of libpq's keywords and "=". A file with such a
// name is written with a folder in front (./service=x.kvd).
bool IsServerLocation(const std::string& location);

// The location as messages and captions show it: a password written into
// it (which the program refuses to use) is masked.
std::string ShownLocation(const std::string& location);

} // namespace tp
