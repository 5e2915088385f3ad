#include "app/Application.h"

#include "app/ErrorBox.h"
#include "app/TrayIcon.h"
#include "app/mainRGB.h"
#include "base/AppInfo.h"
#include "colour/ColorText.h"
#include "history/HistorySession.h"
#include "library/LibraryChoice.h"
#include "platform/Beeper.h"
#include "platform/Clipboard.h"
#include "platform/DesktopNotification.h"
#include "platform/ErrorReporter.h"
#include "platform/GlobalShortcut.h"
#include "platform/QtScreenSource.h"
#include "platform/QtTranslations.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "platform/TrayHost.h"
#include "platform/UiFont.h"
#include "sampling/Display.h"
#include "skin/SkinData.h"
#include "windows/Shortcut.h"

#include <QApplication>
#include <QFont>
#include <QTranslator>

#include <cstdio>

namespace tp {

struct Application::Impl {
    explicit Impl(const AppPaths& paths) : settings(QString::fromStdString(paths.settings)) {}
    SkinData skin = SkinData::load();
    QtClipboard clipboard;
    QtShell shell;
    QtBeeper beeper;
    SkinnedErrorReporter errors{skin};
    QtTrayHost tray;
    QtSettings settings;
    std::unique_ptr<ScreenSource> screen = CreateScreenSource();
    std::unique_ptr<GlobalShortcut> shortcut = CreateGlobalShortcut();
    std::unique_ptr<HistorySession> session;
    std::unique_ptr<TLibraryChoice> library;
    std::unique_ptr<QTranslator> qtTexts = InstallQtTranslations();
};

namespace {
// Folders made for a user's data are the user's alone (XDG base directories).
void ReportShortcut(const ShortcutState& s) {
    if (s.kind != ShortcutState::Kind::Failed && s.kind != ShortcutState::Kind::Unavailable) return;
    const QByteArray line = QStringLiteral("tintpick: %1\n").arg(s.text).toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
    if (s.kind == ShortcutState::Kind::Failed)
        ShowDesktopNotification(QString::fromUtf8(ProductName), s.text);
}
} // namespace

bool TintpickApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (errors_) errors_->showError(QString::fromUtf8(e.what()));
        return false;
    }
}

Application::Application(const AppPaths& paths, const std::string& library)
    : impl_(std::make_unique<Impl>(paths)) {
    QApplication::setApplicationDisplayName(QString());
    // X11 takes the window class from the application name, and desktop files
    // match it (StartupWMClass): the product name.
    QApplication::setApplicationName(QString::fromUtf8(ProductName));
    QFont font;
    font.setFamilies(UiFontFamilies());
    font.setPixelSize(12);
    QApplication::setFont(font);
    // The program lives on in the tray with every window hidden; only
    // closing the main window ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    services_ = ServicesOf(*impl_);
    services_.historyPath = paths.history;
    services_.referencePage = paths.referencePage;
    MakeUserFolder(paths);

    if (auto* app = dynamic_cast<TintpickApp*>(QCoreApplication::instance()))
        app->setErrorReporter(&impl_->errors);

    // Signals are taken from before the first window exists: one that
    // arrives while a message box of the start-up is open must not wait for
    // someone to answer it.
    impl_->session = std::make_unique<HistorySession>([this] { terminate(); },
                                                      [this] {
                                                          if (main_) main_->SessionEnding();
                                                      });

    main_ = new TfrmMain(services_);
    main_->setAttribute(Qt::WA_DeleteOnClose, false);
    impl_->errors.setOwner(main_);

    // The store opens after the main window; a failure is shown once and
    // start-up goes on, and every later use of the store tries again. A
    // library made on the first start needs no word here: the browser of an
    // empty library says where it lies.
    impl_->library = std::make_unique<TLibraryChoice>(&impl_->settings, paths.store,
                                                      QString::fromLocal8Bit(library.c_str()));
    libraryChoice = impl_->library.get();
    if (!impl_->library->startupProblem().isEmpty())
        impl_->errors.showError(impl_->library->startupProblem());
    Guarded(impl_->errors, [this] { impl_->library->store().DataModuleCreate(); });

    // The measuring window exists from the start, hidden; "测距" shows it.
    frmDisplay = new TfrmDisplay(services_);

    // The pick shortcut, once the main window is there to take it. Keys that
    // do not work are said, not left dead: on standard error, and where the
    // user set keys that some other program holds, in a notification too.
    GlobalShortcut& shortcut = *impl_->shortcut;
    QObject::connect(&shortcut, &GlobalShortcut::stateChanged, main_,
                     [&shortcut] { ReportShortcut(shortcut.state()); });
    shortcut.bind(TfrmShortcut::StoredKeys(&impl_->settings));
    ReportShortcut(shortcut.state());
    built_ = true;
    if (terminateRequested_) main_->close();
}

void Application::terminate() {
    if (!built_) {
        // A message box of the start-up must not hold the end up, neither
        // the one open now nor any that would follow it.
        terminateRequested_ = true;
        impl_->errors.runEnding();
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
        return;
    }
    main_->close();
}

bool Application::finished() const {
    return main_->IsClosed();
}

void Application::comeForward() {
    // While measuring, the main window stays hidden behind the frozen screen.
    if (frmDisplay && frmDisplay->isVisible()) {
        frmDisplay->raise();
        frmDisplay->activateWindow();
        return;
    }
    main_->ComeForward();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void Application::keepPickFromElsewhere(const QString& code) {
    if (const std::optional<TRGB> rgb = ParseHexCode(code.toStdString())) main_->TakeColour(*rgb);
}

Application::~Application() {
    // Nothing may reach the windows through the session while they go.
    impl_->session.reset();
    delete frmDisplay;
    delete main_;
    impl_->library.reset();
}

} // namespace tp
