// The client page's commands: choosing the current quote's or job's client, adding a client and
// editing the one shown.
#include "FormMain.h"
#include "controls/window/CommandGuard.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "data/DataModuleMain.h"
#include "engine/Field.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/FormClients.h"

using namespace Qt::StringLiterals;

void TfrmMain::btnSelectClientClick()
{
    runGuarded(this, [this] {
        // The list writes its choice into the header being edited and posts it; on an empty list
        // the edit starts a new header.
        TQVTable *header = activeHeader();
        const bool headerWasEditing = header->isEditing();
        if (!headerWasEditing)
            header->edit();
        // The choice is for this page's header alone, whatever else is being edited; closed
        // without a choice, the list lets go of a header edit this command started.
        TfrmClientDetails clients(m_dm, this);
        clients.setDocumentHeader(header);
        clients.exec();
        if (!headerWasEditing && header->state() == DataSetState::Edit && !header->modified())
            header->cancel();
    });
}

void TfrmMain::btnNewClientClick()
{
    // The new client is not attached to the quote or job; Select does that.
    runGuarded(this, [this] {
        m_dm->tblClients->insert();
        TfrmClient client(m_dm, TfrmClient::Mode::Edit, this);
        client.exec();
    });
}

void TfrmMain::btnEditClientClick()
{
    runGuarded(this, [this] {
        // Found by its key in primary order, then shown in the list's order by contact again. A
        // header without a client finds nothing and the dialog edits whichever client was current.
        TQVTable *clients = m_dm->tblClients;
        clients->setIndexFieldNames(QString());
        clients->setIndexName(QString());
        clients->findKey({ m_dm->tblClientDetails->fieldByName(u"Client_ID"_s)->asFloat() });
        clients->setIndexFieldNames(u"Contact"_s);
        TfrmClient client(m_dm, TfrmClient::Mode::Edit, this);
        client.exec();
    });
}
