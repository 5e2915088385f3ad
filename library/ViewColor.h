#pragma once
// The library browser: lists the stored colours, each row in its own
// colour, lets the user search, edit, insert and delete them in place, and
// loads the chosen row as the current colour.
#include "library/LibQuery.h"
#include "library/SaveInfo.h"
#include "platform/ErrorReporter.h"

#include <QDialog>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>

#include <functional>
#include <optional>
#include <vector>

class QLineEdit;
class QMenu;

namespace tp {

class TbsBusinessSkinForm;
class TbsSkinButton;
class TbsSkinMessage;
class TbsSkinStdLabel;

// The grid's view of the query: one row per record, and one empty row when
// there is none.
class TLibModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The fields' columns, then the colour's code (RRGGBB), read-only; the
    // grid shows the code after "蓝".
    static constexpr int CodeColumn = TLibQuery::FieldCount;
    static constexpr int ColumnCount = CodeColumn + 1;

    TLibModel(TLibQuery& query, ErrorReporter& errors, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    TLibQuery& query() const { return query_; }

private:
    TLibQuery& query_;
    ErrorReporter& errors_;
};

class TbsSkinDBGrid : public QTableView {
    Q_OBJECT
public:
    TbsSkinDBGrid(TLibQuery& query, ErrorReporter& errors, QWidget* parent = nullptr);
    TLibModel* libModel() const { return model_; }
    // Takes an open cell editor's text into the field and closes the editor.
    void commitEditor();
    QWidget* activeEditor() const { return editor_; }
    // The row a cell editor is open on, or -1.
    int editorRow() const { return state() == EditingState ? currentIndex().row() : -1; }
    // Asked before the current record is deleted; true deletes it.
    void setConfirmDelete(std::function<bool()> ask) { confirmDelete_ = std::move(ask); }

    void keyboardSearch(const QString& search) override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    friend class TLibDelegate;
    // Passes the grid's messages on and marks the time a box shows.
    class Reporter final : public ErrorReporter {
    public:
        Reporter(TbsSkinDBGrid& grid, ErrorReporter& to) : grid_(grid), to_(to) {}
        void showError(const QString& message) override;

    private:
        TbsSkinDBGrid& grid_;
        ErrorReporter& to_;
    };
    void syncFromQuery();
    void report(const std::exception& e);
    // A cell editor open while the rows are read again (another client's
    // change): its text and caret, to open it again as it was.
    struct OpenEditor {
        int column;
        QString text;
        int caret;
    };
    std::optional<OpenEditor> reopen_;
    // The user typed into the cell editor: the record is being edited from
    // that moment, so that post and cancel can take it.
    void editorTyped();
    std::function<bool()> confirmDelete_;
    TLibQuery& query_;
    Reporter errors_;
    TLibModel* model_;
    QPointer<QWidget> editor_;
    bool syncing_ = false;
    bool reporting_ = false;
    int column_ = 0;
};

// Paints each data cell in its row's colour (the current cell reversed) and
// edits cells with the fields' own checks.
class TLibDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TLibDelegate(TbsSkinDBGrid* grid);
    void paint(QPainter* p, const QStyleOptionViewItem& opt,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

signals:
    void editorCreated(QWidget* editor) const;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    TbsSkinDBGrid* grid_;
};

class TbsSkinDBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button {
        nbFirst,
        nbPrior,
        nbNext,
        nbLast,
        nbInsert,
        nbDelete,
        nbEdit,
        nbPost,
        nbCancel,
        nbRefresh,
        ButtonCount
    };
    TbsSkinDBNavigator(TLibQuery& query, ErrorReporter& errors, QWidget* parent = nullptr);
    QToolButton* button(int b) const { return buttons_[b]; }
    void click(int b);
    void updateButtons();
    // Asked before deleting; true deletes.
    void setConfirmDelete(std::function<bool()> ask) { confirmDelete_ = std::move(ask); }
    // Run before every action: takes an open cell editor's text.
    void setBeforeAction(std::function<void()> f) { beforeAction_ = std::move(f); }

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    std::function<bool()> confirmDelete_;
    std::function<void()> beforeAction_;
    TLibQuery& query_;
    ErrorReporter& errors_;
    QToolButton* buttons_[ButtonCount];
};

class TfrmViewColor : public QDialog {
    Q_OBJECT
public:
    TfrmViewColor(const Services& services, ColorStore& store, TbsSkinMessage* msgAlert,
                  QWidget* owner);
    ~TfrmViewColor() override;

    // The main window's picks, newest first, for exporting them.
    void setHistory(std::vector<TRGB> picks);
    // Asks for a file: one to write (`save`, proposing `suggested`) or one
    // to read. An empty answer cancels. Tests answer it themselves.
    using FileAsker = std::function<QString(bool save, const QString& suggested)>;
    void setFileAsker(FileAsker ask) { askFile_ = std::move(ask); }
    // The colour of the current row when "确定" closed the window.
    TRGB loadedColor() const { return LoadedColor; }
    // "颜色库位置…" chose another library: the window closed, and the
    // browser opens again on the new one.
    bool libraryChanged() const { return libraryChanged_; }

    // Closing by the window's own means gives 2; "取消" and Esc give 7.
    void reject() override { done(ModalResult::Closed); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void FormCreate();
    void bsSkinButton3Click(); // "查找"
    void bsSkinButton4Click(); // "全部"
    void bsSkinButton1Click(); // "确定"
    bool askDelete();
    // Says where the library lies while it holds nothing, where the user
    // meets it first.
    void updateInstruction();

    // Palette files, on a band below the window's own controls
    // (ViewColorPalettes.cpp).
    enum class ExportFrom { Library, List, History };
    void BuildPaletteBand();
    void ExportPalette(ExportFrom from);
    void ImportPalette();
    void SaveHistoryToLibrary(); // "全部存入颜色库"

    Services services_;
    ColorStore& dm_;
    TbsSkinMessage* msgAlert_;
    TbsBusinessSkinForm* bsBusinessSkinForm1;
    TLibQuery* adoqLib;
    TbsSkinDBNavigator* bsSkinDBNavigator1; // the ten record buttons
    TbsSkinStdLabel* bsSkinStdLabel1;       // "颜色名称"
    TbsSkinStdLabel* bsSkinStdLabel2; // "选中库中的颜色，点击确定加载该颜色信息"
    QLineEdit* edtKeyword;
    TbsSkinButton* bsSkinButton3; // "查找"
    TbsSkinButton* bsSkinButton4; // "全部"
    TbsSkinButton* bsSkinButton1; // "确定"
    TbsSkinButton* bsSkinButton2; // "取消"
    TbsSkinDBGrid* dbgColors;
    QWidget* pnlPalettes;
    TbsSkinButton* btnImport;           // "导入调色板…"
    TbsSkinButton* btnExport;           // "导出调色板", with the menu of what to export
    TbsSkinButton* btnHistoryToLibrary; // "全部存入颜色库"
    QMenu* mnuExport;
    TRGB LoadedColor{};
    bool listingAll_ = false; // the list is the whole library, not a search
    std::vector<TRGB> history_;
    FileAsker askFile_;
    TbsSkinButton* btnPlace = nullptr; // "颜色库位置…"
    bool libraryChanged_ = false;
};

// "加载": shows the browser; returns the colour it loaded, or nothing when
// it was closed without loading.
std::optional<TRGB> BrowseLibrary(LibraryHost& host);

} // namespace tp
