// The colour store and the browser's result set against real SQLite files:
// no widgets involved.
#include "library/LibQuery.h"
#include "library/LibraryRules.h"
#include "library/PaletteIo.h"
#include "library_fixture.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <chrono>
#include <future>
#include <thread>

using namespace tp;
using namespace tp::test;

using ColourStore = StoreFixture;

TEST_F(ColourStore, MissingStoreIsReportedNeverCreatedAndFoundOnceItAppears) {
    const std::string m = messageOf([&] { dm.DataModuleCreate(); });
    EXPECT_NE(m.find("Could not find file"), std::string::npos) << m;
    EXPECT_NE(m.find("store.kvd"), std::string::npos) << m;
    EXPECT_FALSE(QFileInfo::exists(storePath()));
    EXPECT_FALSE(dm.Connected());
    // Every use tries again, and reports again while the file is missing.
    EXPECT_NE(messageOf([&] {
                  dm.Contains({1, 2, 3});
              }).find("Could not find file"),
              std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(storePath()));

    makeStore(); // put in place while the program runs
    EXPECT_FALSE(dm.Contains({1, 2, 3}));
    EXPECT_TRUE(dm.Connected());
}

TEST_F(ColourStore, TheStoreIsTheFileInTheWorkingDirectoryWhenTheConnectionOpens) {
    makeStore();
    QTemporaryDir other;
    QDir::setCurrent(other.path());
    EXPECT_NE(messageOf([&] { dm.DataModuleCreate(); }).find("Could not find file"),
              std::string::npos);
    QDir::setCurrent(dir.path());
    dm.DataModuleCreate();
    EXPECT_EQ(QFileInfo(dm.storePath()).canonicalFilePath(),
              QFileInfo(storePath()).canonicalFilePath());

    // Characters that mean something in a URI or to a shell, in the path
    // ('?' cannot be in a Windows name).
#ifdef Q_OS_WIN
    const QString odd = other.filePath(QStringLiteral("颜色 #1 &x=%20 'a'"));
#else
    const QString odd = other.filePath(QStringLiteral("颜色 #1 ?x=%20 'a'"));
#endif
    ASSERT_TRUE(QDir().mkpath(odd));
    ASSERT_TRUE(QFile::copy(storePath(), odd + QStringLiteral("/store.kvd")));
    QDir::setCurrent(odd);
    dm.DataModuleCreate();
    dm.AddColor({QStringLiteral("odd"), {7, 7, 7}, {}});
    QDir::setCurrent(dir.path());
    EXPECT_TRUE(rows().empty()) << "the row went into the copy in the odd folder";
    dm.DataModuleCreate();
    EXPECT_FALSE(dm.Contains({7, 7, 7}));
    QDir::setCurrent(odd);
    dm.DataModuleCreate();
    EXPECT_TRUE(dm.Contains({7, 7, 7}));
    QDir::setCurrent(dir.path());
}

TEST_F(ColourStore, AnInstallMakesTheUsersStoreOnceAndPrefersTheWorkingDirectorys) {
    const QString user = dir.filePath(QStringLiteral("data/tintpick/store.kvd"));
    StoreLookup lookup;
    lookup.candidates = {"store.kvd", user.toStdString()};
    lookup.createAt = user.toStdString();
    lookup.schema = TINTPICK_SOURCE_DIR "/data/schema.sql";
    QStringList told;
    const auto open = [&](TdmMain& store) {
        store.setOnStoreCreated([&](const QString& path) { told << path; });
        store.DataModuleCreate();
    };
    TdmMain first(lookup);
    open(first);
    EXPECT_EQ(first.storePath(), user);
    EXPECT_EQ(told, QStringList{user}) << "the user is told where the new store is";
    first.AddColor({QStringLiteral("n"), {1, 2, 3}, {}});

    TdmMain next(lookup);
    open(next);
    EXPECT_EQ(next.storePath(), user);
    EXPECT_EQ(told.size(), 1) << "the store is made once";
    EXPECT_TRUE(next.Contains({1, 2, 3}));

    makeStore();
    TdmMain fromHere(lookup);
    open(fromHere);
    EXPECT_EQ(QFileInfo(fromHere.storePath()).canonicalFilePath(),
              QFileInfo(storePath()).canonicalFilePath());
    EXPECT_FALSE(fromHere.Contains({1, 2, 3}));

    // A schema that fails halfway: a message naming the store, and nothing
    // left behind that a later start would take for a store.
    fromHere.Disconnect(); // Windows deletes no file that is open
    ASSERT_TRUE(QFile::remove(storePath()));
    const QString fresh = dir.filePath(QStringLiteral("fresh"));
    const QString badSchema = dir.filePath(QStringLiteral("bad.sql"));
    QFile bad(badSchema);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write("CREATE TABLE Colors (ID INTEGER);\nCREATE TABLE (;\n");
    bad.close();
    lookup.candidates.back() = lookup.createAt =
        (fresh + QStringLiteral("/store.kvd")).toStdString();
    lookup.schema = badSchema.toStdString();
    TdmMain broken(lookup);
    const std::string m = messageOf([&] { broken.DataModuleCreate(); });
    EXPECT_NE(m.find(QDir::toNativeSeparators(fresh + QStringLiteral("/store.kvd")).toStdString()),
              std::string::npos)
        << m;
    EXPECT_FALSE(broken.Connected());
    EXPECT_TRUE(
        QDir(fresh).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
}

TEST_F(ColourStore, SaveRefuseAndAwkwardTextAreStoredExactly) {
    makeStore();
    dm.DataModuleCreate();
    EXPECT_FALSE(dm.Contains({5, 0, 255}));
    const QString name = QStringLiteral("O'Neil \"红\" 100%_\\😀");
    const QString comment = QStringLiteral("line 1\r\n'); DROP TABLE Colors; --");
    dm.AddColor({name, {5, 0, 255}, comment});
    dm.AddColor({QString(), {0, 0, 0}, QString()});
    EXPECT_TRUE(dm.Contains({5, 0, 255}));
    EXPECT_FALSE(dm.Contains({5, 0, 254}));
    const auto r = rows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].name, name);
    EXPECT_EQ(r[0].comment, comment);
    EXPECT_EQ(r[0].r.toInt(), 5);
    EXPECT_EQ(r[0].b.toInt(), 255);
    EXPECT_EQ(r[1].name, QString());
    // Names play no part in the duplicate check.
    addRow(QStringLiteral("别名"), 1, 2, 3);
    EXPECT_TRUE(dm.Contains({1, 2, 3}));
}

TEST_F(ColourStore, ASaveWhileAnotherProgramSavesTheSameColourGivesOneRow) {
    makeStore();
    dm.DataModuleCreate();
    dm.setBusyTimeout(5000);
    dm.Disconnect(); // the timeout is taken when the connection opens
    // The other program has checked and is inserting, its write lock held; it
    // commits a moment later, while this save waits for the lock.
    std::promise<int> inserted;
    int committed = -1;
    std::thread other([&] {
        sqlite3* db = nullptr;
        int rc =
            sqlite3_open_v2(storePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db,
                              "BEGIN IMMEDIATE; INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) "
                              "VALUES('theirs',9,8,7,'');",
                              nullptr, nullptr, nullptr);
        inserted.set_value(rc);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        committed = sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    });
    const int insertedRc = inserted.get_future().get();
    EXPECT_EQ(insertedRc, SQLITE_OK);
    if (insertedRc == SQLITE_OK) {
        EXPECT_FALSE(dm.AddColor({QStringLiteral("mine"), {9, 8, 7}, {}}));
    }
    other.join();
    EXPECT_EQ(committed, SQLITE_OK);
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0].name, QStringLiteral("theirs"));
}

TEST_F(ColourStore, TooLongTextIsRefusedWithTheStoresMessageAndNothingIsWritten) {
    makeStore();
    dm.DataModuleCreate();
    const QString name21(21, QChar(u'名'));
    EXPECT_NE(messageOf([&] {
                  dm.AddColor({name21, {1, 1, 1}, {}});
              }).find("Name holds at most 20 characters"),
              std::string::npos);
    EXPECT_NE(messageOf([&] {
                  dm.AddColor({{}, {1, 1, 1}, QString(51, QLatin1Char('x'))});
              }).find("Comment holds at most 50 characters"),
              std::string::npos);
    dm.AddColor({QString(20, QChar(u'名')), {1, 1, 1}, QString(50, QLatin1Char('x'))});
    EXPECT_EQ(rows().size(), 1u);
}

TEST_F(ColourStore, AnExhaustedIdIsNotReportedAsAFullDisk) {
    makeStore();
    addRow(QStringLiteral("last"), 1, 1, 1);
    sqlite(QStringLiteral("UPDATE Colors SET ID=9223372036854775807; "
                          "UPDATE sqlite_sequence SET seq=9223372036854775807;"));
    dm.DataModuleCreate();
    const std::string m = messageOf([&] {
        Doing("颜色没有保存", [&] { dm.AddColor({{}, {2, 2, 2}, {}}); });
    });
    EXPECT_EQ(m.find("磁盘已满"), std::string::npos) << m;
    EXPECT_NE(m.find("编号已经用完"), std::string::npos) << m;
}

TEST_F(ColourStore, CorruptFileIsReportedAndLeftAlone) {
    QFile f(storePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray junk(4096, 'j');
    f.write(junk);
    f.close();
    const std::string m = messageOf([&] { dm.DataModuleCreate(); });
    EXPECT_NE(m.find("not a database"), std::string::npos) << m;
    EXPECT_FALSE(dm.Connected());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), junk);
}

TEST_F(ColourStore, LockedStoreIsReportedAndUsedOnceReleased) {
    makeStore();
    addRow(QStringLiteral("红"), 255, 0, 0);
    lockFromAnotherConnection();
    const std::string m = messageOf([&] { dm.DataModuleCreate(); });
    EXPECT_NE(m.find("locked"), std::string::npos) << m;
    unlock();
    EXPECT_TRUE(dm.Contains({255, 0, 0}));

    // Locked while connected: the browser's query and the insert fail and
    // nothing is written.
    lockFromAnotherConnection();
    TLibQuery q(dm);
    EXPECT_NE(messageOf([&] { q.Open(); }).find("locked"), std::string::npos);
    EXPECT_FALSE(q.Active());
    EXPECT_NE(messageOf([&] {
                  dm.AddColor({QStringLiteral("x"), {9, 9, 9}, {}});
              }).find("locked"),
              std::string::npos);
    unlock();
    EXPECT_EQ(rows().size(), 1u);
}

TEST_F(ColourStore, StoreDeletedOrReplacedWhileConnectedIsLookedUpAgainByName) {
    makeStore();
    addRow(QStringLiteral("红"), 255, 0, 0);
    dm.DataModuleCreate();
    EXPECT_TRUE(dm.Contains({255, 0, 0}));
#ifdef Q_OS_WIN
    // Windows deletes no file that is open, and the store is: it stays.
    EXPECT_FALSE(QFile::remove(storePath()));
    EXPECT_TRUE(dm.Contains({255, 0, 0}));
    return;
#endif
    ASSERT_TRUE(QFile::remove(storePath()));
    EXPECT_NE(messageOf([&] {
                  dm.AddColor({QStringLiteral("lost"), {1, 2, 3}, {}});
              }).find("Could not find file"),
              std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(storePath()));
    makeStore(); // another store in its place
    addRow(QStringLiteral("新"), 4, 5, 6);
    EXPECT_TRUE(dm.Contains({4, 5, 6}));
    EXPECT_FALSE(dm.Contains({255, 0, 0}));
}

TEST_F(ColourStore, DamagedStoreIsReportedAtOpenAndNeverWritten) {
    makeStore();
    sqlite(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE "
                          "i<3000) INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) "
                          "SELECT 'c'||i, i%256, i*7%256, i*13%256, 'x' FROM n;"));
    // Spoil the header of one early leaf page of the table. The file's own
    // header stays sound, and new rows go to other pages.
    const int pageSize = sqliteOutput(QStringLiteral("pragma page_size")).toInt();
    const int sequenceRoot =
        sqliteOutput(
            QStringLiteral("select rootpage from sqlite_master where name='sqlite_sequence'"))
            .toInt();
    QFile f(storePath());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    int page = 0;
    for (int p = 2; p * pageSize <= bytes.size() && page == 0; ++p)
        if (p != sequenceRoot && bytes[(p - 1) * pageSize] == 0x0D) page = p;
    ASSERT_GT(page, 0);
    bytes[(page - 1) * pageSize] = char(0xFF);
    f.seek(0);
    f.write(bytes);
    f.close();

    const std::string opened = messageOf([&] { dm.DataModuleCreate(); });
    EXPECT_NE(opened.find(QDir::toNativeSeparators(storePath()).toStdString()), std::string::npos)
        << opened;
    EXPECT_NE(opened.find("Page " + std::to_string(page)), std::string::npos) << opened;
    EXPECT_NE(messageOf([&] {
                  dm.AddColor({QStringLiteral("x"), {255, 255, 255}, {}});
              }),
              "no error");
    TLibQuery q(dm);
    StoreSelection one;
    one.id = 3000;
    q.SetSelection(one);
    q.Open();
    EXPECT_FALSE(q.CanModify());
    EXPECT_NE(messageOf([&] { q.SetFieldText(TLibQuery::fName, QStringLiteral("y")); }),
              "no error");
    dm.Disconnect();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == bytes) << "the damaged file was written";
}

TEST_F(ColourStore, IdMustBeTheKeyTheStoreAssigns) {
    // A plain integer column would leave new rows without an ID and let an
    // edit or a delete reach another row.
    sqlite(QStringLiteral("CREATE TABLE Colors (ID INTEGER, Name TEXT, RVal INT, GVal INT, BVal "
                          "INT, Comment TEXT); INSERT INTO Colors VALUES (5,'a',1,1,1,''), "
                          "(1,'b',2,2,2,'');"));
    const auto before = rows();
    dm.DataModuleCreate();
    TLibQuery q(dm);
    const std::string expected =
        "Type mismatch for field '编号', expecting: AutoInc actual: Integer";
    EXPECT_EQ(messageOf([&] { q.Open(); }), expected);
    EXPECT_EQ(messageOf([&] { dm.AddColor({QStringLiteral("c"), {3, 3, 3}, {}}); }), expected);
    EXPECT_EQ(rows(), before);
}

TEST_F(ColourStore, WrongTableShapesGiveClearMessages) {
    sqlite(QStringLiteral("CREATE TABLE Colors (ID INTEGER PRIMARY KEY, Name TEXT, RVal TEXT, GVal "
                          "INTEGER, BVal INTEGER, Comment TEXT);"));
    dm.DataModuleCreate();
    EXPECT_EQ(messageOf([&] {
                  dm.Contains({1, 2, 3});
              }),
              "Type mismatch for field '红', expecting: Word actual: WideString");
    TLibQuery q(dm);
    EXPECT_EQ(messageOf([&] { q.Open(); }),
              "Type mismatch for field '红', expecting: Word actual: WideString");
    EXPECT_FALSE(q.Active());
    sqlite(QStringLiteral("DROP TABLE Colors; CREATE TABLE Colors (ID INTEGER PRIMARY KEY, Name "
                          "INTEGER, RVal INT, GVal INT, BVal INT, Comment TEXT);"));
    EXPECT_EQ(messageOf([&] { q.Open(); }),
              "Type mismatch for field '名称', expecting: WideString actual: Integer");
    sqlite(QStringLiteral("DROP TABLE Colors; CREATE TABLE Colors (ID INTEGER PRIMARY KEY, Name "
                          "TEXT, RVal INT, GVal INT, Comment TEXT);"));
    EXPECT_EQ(messageOf([&] { q.Open(); }), "Field 'BVal' not found");
    sqlite(QStringLiteral("DROP TABLE Colors; CREATE TABLE Other (x);"));
    EXPECT_EQ(messageOf([&] { q.Open(); }), "no such table: Colors");
}

// ---- the browser's result set ------------------------------------------------

class LibraryQuery : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        makeStore();
        addRow(QStringLiteral("红"), 255, 0, 0);
        addRow(QStringLiteral("大红"), 204, 0, 0);
        addRow(QStringLiteral("红色"), 250, 10, 10);
        addRow(QStringLiteral("O'Neil"), 1, 2, 3);
        addRow(QStringLiteral("尾 "), 4, 5, 6);
        addRow(QStringLiteral("蓝300"), 0, 0, 300);
        dm.DataModuleCreate();
        before = rows();
    }
    QStringList names(TLibQuery& q) {
        QStringList n;
        for (int i = 0; i < q.RecordCount(); ++i)
            n << q.DisplayText(i, TLibQuery::fName);
        return n;
    }
    QStringList search(const QString& k) {
        TLibQuery q(dm);
        q.SetSelection(StoreSelection::NameEndingWith(k));
        q.Open();
        return names(q);
    }
    std::vector<StoreRow> before;
};

TEST_F(LibraryQuery, SearchMatchesTheEndsOfNamesWithBoundKeywords) {
    EXPECT_EQ(search(QStringLiteral("红")),
              (QStringList{QStringLiteral("红"), QStringLiteral("大红")}));
    EXPECT_TRUE(search(QStringLiteral("大")).isEmpty());
    EXPECT_EQ(search(QStringLiteral("色")), QStringList{QStringLiteral("红色")});
    EXPECT_EQ(search(QStringLiteral("'Neil")), QStringList{QStringLiteral("O'Neil")});
    EXPECT_EQ(search(QStringLiteral("' OR '1'='1")), QStringList{});
    EXPECT_EQ(search(QStringLiteral(" ")), QStringList{QStringLiteral("尾 ")});
    // The wildcards the user types keep working.
    EXPECT_EQ(search(QStringLiteral("_红")), QStringList{QStringLiteral("大红")});
    EXPECT_EQ(search(QStringLiteral("红%")).size(), 3);
    EXPECT_EQ(rows(), before);
}

TEST_F(LibraryQuery, AKeywordThatIsACodeAlsoFindsThatColour) {
    addRow(QStringLiteral("FA0A0A"), 9, 9, 9); // named by a code, another colour
    auto find = [&](const QString& k, TRGB c) {
        TLibQuery q(dm);
        q.SetSelection(StoreSelection::NameEndingWithOrColour(k, c));
        q.Open();
        return names(q);
    };
    EXPECT_EQ(find(QStringLiteral("CC0000"), {204, 0, 0}), QStringList{QStringLiteral("大红")});
    EXPECT_EQ(find(QStringLiteral("FA0A0A"), {250, 10, 10}),
              (QStringList{QStringLiteral("红色"), QStringLiteral("FA0A0A")}));
    EXPECT_TRUE(find(QStringLiteral("#123456"), {0x12, 0x34, 0x56}).isEmpty());
}

TEST_F(LibraryQuery, TheHistoryGoesInNewestFirstNamedByItsCodes) {
    const ImportResult r = SaveHistoryColors(
        dm, {{0xAA, 0xBB, 0xCC}, {204, 0, 0}, {1, 2, 3}, {0xAA, 0xBB, 0xCC}, {0, 0, 0}});
    // 大红 and O'Neil are stored, and AABBCC once it has gone in.
    EXPECT_EQ(HistorySaveSummary(r), QStringLiteral("添加了 2 个颜色；3 个颜色库中已有"));
    std::vector<StoreRow> want = before;
    const QString from = QStringLiteral("来自取色历史");
    want.push_back({7, QStringLiteral("AABBCC"), 0xAA, 0xBB, 0xCC, from});
    want.push_back({8, QStringLiteral("000000"), 0, 0, 0, from});
    EXPECT_EQ(rows(), want);
}

TEST_F(LibraryQuery, NavigationAndLoadValues) {
    TLibQuery q(dm);
    q.Open();
    ASSERT_EQ(q.RecordCount(), 6);
    EXPECT_EQ(q.RecNo(), 0);
    EXPECT_TRUE(q.IsFirst());
    q.Last();
    EXPECT_TRUE(q.IsLast());
    EXPECT_EQ(q.IntValue(TLibQuery::fBVal), 300);
    EXPECT_EQ(ChannelByte(q.IntValue(TLibQuery::fBVal)), 44);
    q.Prior();
    EXPECT_EQ(q.RecNo(), 4);
    q.First();
    EXPECT_EQ(q.IntValue(TLibQuery::fRVal), 255);
    q.Close();
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(q.IntValue(TLibQuery::fRVal), 0);
}

TEST_F(LibraryQuery, EditingChecksValuesAndPostsOnlyWhatChanged) {
    TLibQuery q(dm);
    q.Open();
    EXPECT_EQ(messageOf([&] { q.SetFieldText(TLibQuery::fRVal, QStringLiteral("65536")); }),
              "65536 is not a valid value for field '红'. The allowed range is 0 to 65535");
    EXPECT_EQ(messageOf([&] { q.SetFieldText(TLibQuery::fGVal, QStringLiteral("-1")); }),
              "-1 is not a valid value for field '绿'. The allowed range is 0 to 65535");
    EXPECT_EQ(messageOf([&] { q.SetFieldText(TLibQuery::fRVal, QStringLiteral("abc")); }),
              "'abc' is not a valid integer value for field '红'");
    EXPECT_EQ(q.state(), TLibQuery::dsBrowse) << "a refused value starts no edit";
    EXPECT_EQ(q.IntValue(TLibQuery::fRVal), 255);

    q.SetFieldText(TLibQuery::fBVal, QStringLiteral("-1")); // BVal is a signed 32-bit field
    EXPECT_EQ(q.state(), TLibQuery::dsEdit);
    EXPECT_EQ(q.IntValue(TLibQuery::fBVal), -1);
    EXPECT_EQ(rows(), before) << "nothing is written before the post";
    q.Next(); // moving posts
    auto after = rows();
    EXPECT_EQ(after[0].b.toInt(), -1);
    after[0].b = before[0].b;
    EXPECT_EQ(after, before);

    // A blank channel cell clears the value.
    q.SetFieldText(TLibQuery::fRVal, QStringLiteral(""));
    q.Post();
    EXPECT_TRUE(rows()[1].r.isNull());
}

TEST_F(LibraryQuery, RefusedPostKeepsTheEditAndTheStoredRow) {
    TLibQuery q(dm);
    q.Open();
    q.SetFieldText(TLibQuery::fName, QString(21, QLatin1Char('n')));
    EXPECT_NE(messageOf([&] { q.Post(); }).find("Name holds at most 20 characters"),
              std::string::npos);
    EXPECT_EQ(q.state(), TLibQuery::dsEdit);
    EXPECT_NE(messageOf([&] { q.Next(); }).find("at most 20"), std::string::npos);
    EXPECT_EQ(q.RecNo(), 0) << "a refused post stops the move";
    EXPECT_EQ(rows(), before);
    q.Cancel();
    EXPECT_EQ(q.DisplayText(0, TLibQuery::fName), QStringLiteral("红"));

    // Locked by another program: the post fails, the edit stays.
    q.SetFieldText(TLibQuery::fComment, QStringLiteral("c"));
    lockFromAnotherConnection();
    EXPECT_NE(messageOf([&] { q.Post(); }).find("locked"), std::string::npos);
    unlock();
    EXPECT_EQ(rows(), before);
    q.Post();
    EXPECT_EQ(rows()[0].comment, QStringLiteral("c"));
}

TEST_F(LibraryQuery, InsertCancelDeleteAndRefresh) {
    TLibQuery q(dm);
    q.Open();
    q.Next();
    q.Insert(); // before the current record
    EXPECT_EQ(q.state(), TLibQuery::dsInsert);
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_EQ(q.RecordCount(), 7);
    q.Next(); // an untouched new record is dropped
    EXPECT_EQ(q.RecordCount(), 6);
    EXPECT_EQ(q.DisplayText(q.RecNo(), TLibQuery::fName), QStringLiteral("红色"));
    EXPECT_EQ(rows(), before);

    q.Insert();
    q.SetFieldText(TLibQuery::fName, QStringLiteral("新's"));
    q.SetFieldText(TLibQuery::fRVal, QStringLiteral("7"));
    q.Post();
    EXPECT_GT(q.Value(TLibQuery::fID).toLongLong(), 6);
    auto after = rows();
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(after.back().name, QStringLiteral("新's"));
    EXPECT_EQ(after.back().r.toInt(), 7);
    EXPECT_TRUE(after.back().g.isNull());

    const qint64 id = q.Value(TLibQuery::fID).toLongLong();
    q.Delete();
    after = rows();
    EXPECT_EQ(after, before);
    EXPECT_EQ(std::count_if(after.begin(), after.end(), [&](auto& r) { return r.id == id; }), 0);

    // Refresh re-reads rows written by someone else and keeps the place.
    q.MoveTo(3);
    addRow(QStringLiteral("外部"), 9, 9, 9);
    q.Refresh();
    EXPECT_EQ(q.RecordCount(), 7);
    EXPECT_EQ(q.DisplayText(q.RecNo(), TLibQuery::fName), QStringLiteral("O'Neil"));

    // Emptied one by one, the result still answers with zeros.
    while (!q.IsEmpty())
        q.Delete();
    EXPECT_EQ(q.RecNo(), -1);
    EXPECT_EQ(q.IntValue(TLibQuery::fRVal), 0);
    EXPECT_TRUE(rows().empty());
}

TEST_F(LibraryQuery, WritesThatChangeNothingSaySoAndShowTheStoresTruth) {
    TLibQuery q(dm);
    q.Open();
    auto namesRecord = [](const std::string& m, qint64 id) {
        return QRegularExpression(QStringLiteral("编号\\D{0,3}%1\\D").arg(id))
            .match(QString::fromStdString(m))
            .hasMatch();
    };
    // Edited here while another program deleted it.
    q.MoveTo(2);
    const qint64 edited = q.Value(TLibQuery::fID).toLongLong();
    sqlite(QStringLiteral("delete from Colors where ID=%1;").arg(edited));
    const auto gone = rows();
    q.SetFieldText(TLibQuery::fName, QStringLiteral("Sky"));
    std::string m = messageOf([&] { q.Post(); });
    EXPECT_TRUE(namesRecord(m, edited)) << m;
    EXPECT_EQ(q.state(), TLibQuery::dsBrowse);
    EXPECT_EQ(q.RecordCount(), 5);
    EXPECT_FALSE(names(q).contains(QStringLiteral("Sky")));
    EXPECT_EQ(rows(), gone);

    // Deleted here after another program deleted it.
    const qint64 deleted = q.Value(TLibQuery::fID).toLongLong();
    sqlite(QStringLiteral("delete from Colors where ID=%1;").arg(deleted));
    m = messageOf([&] { q.Delete(); });
    EXPECT_TRUE(namesRecord(m, deleted)) << m;
    EXPECT_EQ(q.RecordCount(), 4);

    // A store that ignores inserts.
    sqlite(QStringLiteral(
        "CREATE TRIGGER deaf BEFORE INSERT ON Colors BEGIN SELECT RAISE(IGNORE); END;"));
    EXPECT_NE(messageOf([&] { dm.AddColor({QStringLiteral("n"), {7, 7, 7}, {}}); }), "no error");
    q.Insert();
    q.SetFieldText(TLibQuery::fName, QStringLiteral("n"));
    EXPECT_NE(messageOf([&] { q.Post(); }), "no error");
    EXPECT_EQ(rows().size(), 4u);
}

TEST_F(LibraryQuery, CloseDiscardsAnUnpostedChange) {
    TLibQuery q(dm);
    q.Open();
    q.SetFieldText(TLibQuery::fName, QStringLiteral("changed"));
    q.Close();
    EXPECT_EQ(rows(), before);
}
