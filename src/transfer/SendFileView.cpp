#include "SendFileView.h"

#include "Dialogs.h"
#include "EditorRouting.h"
#include "Editors.h"
#include "TextFiles.h"
#include "form1.h"

#include <QAction>

SendFileView::SendFileView(form1& window)
    : QObject(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("SendFileView"));
    connect(m_window.ui().open_send, &QAction::triggered, this, &SendFileView::open_send_Click);
}

void SendFileView::open_send_Click()
{
    Dialogs::FileRequest request;
    request.filter = TextFiles::DatabaseFilesFilter;
    request.filterIndex = 2;
    const std::optional<QString> chosen = m_window.dialogs().openFile(request);
    if (!chosen)
        return;
    // A device or a pipe would never finish loading: refused before any editor opens.
    if (const QString reason = TextFiles::notAFileReason(*chosen); !reason.isEmpty()) {
        TextFiles::reportReadFailure(m_window.dialogs(), *chosen, reason);
        return;
    }
    Editors::showModal(EditorRouting::editorFor(*chosen), *chosen, m_window.dialogs(), &m_window);
}
