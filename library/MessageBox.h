#pragma once
// The skinned message box: a fresh window for every call, captions and
// button texts from the skin's string table, the standard icons.
#include "library/LibraryRules.h"

#include <QObject>
#include <QString>

#include <memory>

class QDialog;

namespace tp {

struct SkinData;

class TbsSkinMessage : public QObject {
    Q_OBJECT
public:
    explicit TbsSkinMessage(const SkinData& skin, QObject* parent = nullptr);

    // Shows the box modally and returns the modal result of the button that
    // closed it (2 when it was closed another way). Tests swap in a recorder.
    virtual int ShowMessageBox(const QString& text, int kind, int buttons, int helpContext);

    // Builds the box without showing it.
    std::unique_ptr<QDialog> BuildMessageBox(const QString& text, int kind, int buttons) const;

    const SkinData& skin() const { return skin_; }

private:
    const SkinData& skin_;
};

} // namespace tp
