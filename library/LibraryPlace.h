#pragma once
// "颜色库位置": where the colour library lies, a file or a team library on
// a database server. The location typed is tried (connected to, its table
// checked) before it is kept; one that fails is said and stays in the edit.
#include "library/SaveInfo.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace tp {

class TLibraryChoice;

class TfrmLibraryPlace : public QDialog {
    Q_OBJECT
public:
    TfrmLibraryPlace(const Services& services, TLibraryChoice& choice, QWidget* owner);

    // Closing by the window's own means gives 2; "取消" and Esc give 7.
    void reject() override { done(2); }

private:
    void bsSkinButton1Click(); // "确定": try the location, keep it
    Services services_;
    TLibraryChoice& choice_;
    QLineEdit* edtLocation_;
};

// Shows the dialog; true when another library is in use afterwards.
bool ChooseLibraryPlace(const Services& services, TLibraryChoice& choice, QWidget* owner,
                        const DialogRunner& runModal = ExecDialog);

} // namespace tp
