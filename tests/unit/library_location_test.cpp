// Where a library lies: a server location in libpq's syntax or a file, and
// a location as messages show it, never with a password.
#include "library/LibraryLocation.h"

#include <gtest/gtest.h>

using namespace tp;

TEST(LibraryLocation, ServerLocationsAreLibpqsUriAndKeywordFormsAndNothingElse) {
    for (const char* server : {"postgresql://ann@db/team", "postgres://db", " POSTGRESQL://x",
                               "service=team", "host=/run/postgresql dbname=team", "dbname = t"})
        EXPECT_TRUE(IsServerLocation(server)) << server;
    for (const char* file : {"store.kvd", "/home/ann/team.kvd", "./service=x.kvd", "a=b.kvd",
                             "C:\\colours\\store.kvd", ""})
        EXPECT_FALSE(IsServerLocation(file)) << file;
}

TEST(LibraryLocation, AShownLocationMasksEveryPassword) {
    EXPECT_EQ(ShownLocation("postgresql://ann:s3cr%40t@db:5432/team?sslmode=require"),
              "postgresql://ann:***@db:5432/team?sslmode=require");
    EXPECT_EQ(ShownLocation("postgresql://db/team?user=ann&password=s3cret&sslpassword=k"),
              "postgresql://db/team?user=ann&password=***&sslpassword=***");
    EXPECT_EQ(ShownLocation("host=db password='it\\'s x' dbname=team"),
              "host=db password=*** dbname=team");
    EXPECT_EQ(ShownLocation("host=db password=plain dbname=team"),
              "host=db password=*** dbname=team");
    // A file is shown as it is, whatever its name holds.
    EXPECT_EQ(ShownLocation("/tmp/password=x.kvd"), "/tmp/password=x.kvd");
}
