#include "engine/WorkToggle.h"

namespace orvelle {

void startOrStopWork(SalaryStore& store) {
    if (store.isWorking()) {
        store.stopWork();
        return;
    }
    // One write for both, so that the settings and the session they start land together.
    const auto batch = store.batchWrites();
    store.saveSettings();
    store.startWork();
}

}  // namespace orvelle
