#include "app/model/AppModel.h"

#include "app/model/detail/DocumentState.h"
#include "app/model/detail/EditState.h"
#include "app/model/detail/ImportState.h"
#include "app/model/detail/ProcessingState.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

namespace quillfen {

namespace {

// How often quitting looks whether the work it waits for has ended.
constexpr int quitCheckMilliseconds = 50;

}  // namespace

void AppModel::finishForQuit() {
    if (m_document->quitRequested) return;
    m_document->quitRequested = true;
    m_processing->quitting = true;
    dropSampleBook();
    auto* check = new QTimer(this);
    check->setInterval(quitCheckMilliseconds);
    const auto ready = [this, check] {
        if (finishingForQuit()) return;
        check->stop();  // told once: the deletion may come after the next tick
        check->deleteLater();
        Q_EMIT readyToQuit();
    };
    connect(check, &QTimer::timeout, this, ready);
    check->start();
    ready();
}

bool AppModel::finishingForQuit() const {
    const auto& pending = m_processing->newest;
    return m_importing > 0 || m_exportProgress || m_edit->paperSearches > 0 ||
           !m_processing->arrived.empty() ||
           std::any_of(pending.begin(), pending.end(), [](const auto& p) { return p.second.detect; });
}

bool AppModel::prepareToQuit() {
    m_processing->quitting = true;
    dropSampleBook();
    // Images being imported and results still on their way belong in the last save: wait for them
    // and apply them first.
    const auto busy = [this] {
        return m_import->worker.activeThreadCount() > 0 || m_processingPool.activeThreadCount() > 0 ||
               m_editorPool.activeThreadCount() > 0 || m_document->writer.activeThreadCount() > 0;
    };
    do {
        m_import->worker.waitForDone();
        m_processingPool.waitForDone();
        m_editorPool.waitForDone();
        m_document->writer.waitForDone();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    } while (busy());
    applyArrived();
    if (m_document->autosave.isActive() || m_document->saveFailed) {
        m_document->autosave.stop();
        save();
    }
    if (!m_document->saveFailed) return true;
    setError(m_error, QStringLiteral("Quillfen is quitting, so the changes made since the book was last saved are lost."));
    return false;
}

}  // namespace quillfen
