#include "library/ColorStore.h"

namespace tp {

ColorStore* dmMain = nullptr;

ColorStore::~ColorStore() {
    if (dmMain == this) dmMain = nullptr;
}

StoreError::StoreError(StorePlace place, QString detail, QString reason)
    : StoreError(std::move(place), std::move(detail), std::move(reason), QString()) {}

StoreError::StoreError(StorePlace place, QString detail, QString reason, QString notDone)
    : Error(Compose(place, detail, reason, notDone)), place_(std::move(place)),
      detail_(std::move(detail)), reason_(std::move(reason)), notDone_(std::move(notDone)) {}

StoreError StoreError::Saying(const QString& notDone) const {
    if (!notDone_.isEmpty()) return *this;
    return StoreError(place_, detail_, reason_, notDone);
}

std::string StoreError::Compose(const StorePlace& place, const QString& detail,
                                const QString& reason, const QString& notDone) {
    if (notDone.isEmpty()) return (detail.isEmpty() ? reason : detail).toStdString();
    QString text = notDone + (reason.isEmpty() ? QStringLiteral("。") : u'：' + reason + u'。');
    text += u'\n' + place.label + u'：' + place.name;
    if (!detail.isEmpty()) text += QStringLiteral("\n详细信息：") + detail;
    return text.toStdString();
}

} // namespace tp
