// The file dialogs open in the folder last chosen in, across dialogs and
// runs, and speak the program's language, as do Qt's other standard texts.
#include "platform/FileDialog.h"
#include "platform/QtTranslations.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

namespace tp {
namespace {

// Answers the next file dialog as a user would, once it is on the screen:
// notes the folder it opened in, and types `name` (a name there, or a path
// elsewhere) and Enter, or Esc when `name` is empty.
class DialogAnswer {
public:
    explicit DialogAnswer(QString name) : name_(std::move(name)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible()) return;
            timer_.stop();
            openedIn = QDir(d->directory()).absolutePath();
            caption = d->windowTitle();
            if (name_.isEmpty()) {
                QTest::keyClick(d, Qt::Key_Escape);
                return;
            }
            auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!edit) d->reject(); // a system's own dialog: the test cannot type into it
            ASSERT_NE(edit, nullptr) << "not Qt's own file dialog";
            edit->setText(name_);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        timer_.start();
    }
    QString openedIn, caption;

private:
    QString name_;
    QTimer timer_;
};

TEST(FileDialog, OpensInTheFolderLastChosenInForEveryDialogAndRun) {
    // A system's own dialog (Windows') cannot be typed into from here; Qt's
    // takes the same folder, caption and filter from the program.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    QTemporaryDir a, b;
    ASSERT_TRUE(a.isValid() && b.isValid());
    QFile(a.filePath(QStringLiteral("in.gpl"))).open(QIODevice::WriteOnly);
    FakeSettings settings;
    EXPECT_EQ(LastFileFolder(&settings), QDir::homePath()); // the first time

    settings.setValue(QStringLiteral("dialogs/folder"), a.path());
    {
        DialogAnswer user(QStringLiteral("in.gpl"));
        const QString path = AskOpenFile(nullptr, &settings, QStringLiteral("导入"),
                                         QStringLiteral("GIMP 调色板 (*.gpl)"));
        EXPECT_EQ(user.openedIn, QDir(a.path()).absolutePath());
        EXPECT_EQ(user.caption, QStringLiteral("导入"));
        EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("in.gpl"));
    }
    // The export opens where the import chose; a cancel changes nothing.
    QString filter;
    {
        DialogAnswer user({});
        EXPECT_TRUE(AskSaveFile(nullptr, &settings, QStringLiteral("导出"), QStringLiteral("x.gpl"),
                                QStringLiteral("GIMP 调色板 (*.gpl)"), &filter)
                        .isEmpty());
        EXPECT_EQ(user.openedIn, QDir(a.path()).absolutePath());
    }
    // A file chosen in another folder moves the next dialog there.
    {
        DialogAnswer user(b.filePath(QStringLiteral("out.gpl")));
        const QString path =
            AskSaveFile(nullptr, &settings, QStringLiteral("导出"), QStringLiteral("x.gpl"),
                        QStringLiteral("GIMP 调色板 (*.gpl)"), &filter);
        EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(b.path()).absolutePath());
    }
    {
        DialogAnswer user({});
        AskOpenFile(nullptr, &settings, QStringLiteral("导入"), QStringLiteral("*.gpl"));
        EXPECT_EQ(user.openedIn, QDir(b.path()).absolutePath());
    }
    // A folder that is gone gives the home folder again.
    settings.setValue(QStringLiteral("dialogs/folder"), a.path() + QStringLiteral("/gone"));
    EXPECT_EQ(LastFileFolder(&settings), QDir::homePath());
}

TEST(FileDialog, QtsOwnTextsAreChinese) {
    const std::unique_ptr<QTranslator> texts = InstallQtTranslations();
    ASSERT_NE(texts, nullptr) << "Qt's translations are not installed";
    for (const auto& [context, text] :
         {std::pair{"QFileDialog", "Look in:"}, std::pair{"QFileDialog", "File &name:"},
          std::pair{"QLineEdit", "Select All"}, std::pair{"QPlatformTheme", "Cancel"}}) {
        const QString shown = QCoreApplication::translate(context, text);
        EXPECT_NE(shown, QString::fromLatin1(text)) << context << " " << text;
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](QChar c) {
            return c.unicode() >= 0x4E00;
        })) << shown.toStdString();
    }
}

} // namespace
} // namespace tp
