#include "engine/WorkToggle.h"

namespace orvelle {

void startOrStopWork(SalaryStore& store) {
    if (store.isWorking()) {
        store.stopWork();
        return;
    }
    store.saveSettings();
    store.startWork();
}

}  // namespace orvelle
