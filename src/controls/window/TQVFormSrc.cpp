#include "TQVFormSrc.h"

#include "controls/window/IdleCursorRule.h"
#include "controls/window/LoadedWithForm.h"
#include "controls/window/TQVPageControl.h"
#include "controls/window/TQVRegistry.h"
#include "controls/window/WindowSounds.h"

#include <QWidget>

using namespace Qt::StringLiterals;

namespace {
const QString WindowMaximised = u"WindowMaximised"_s;
const QString Top = u"Top"_s;
const QString Left = u"Left"_s;
const QString Height = u"Height"_s;
const QString Width = u"Width"_s;
} // namespace

TQVForm::TQVForm(QWidget *window)
    : m_window(window)
    , m_hint(u"Ready."_s)
{
    if (window) {
        new IdleCursorRule(window);
        new WindowSounds(window);
    }
}

TQVForm::~TQVForm()
{
    savePlacement();
}

void TQVForm::setRegKey(const QString &key)
{
    m_regKey = (key.isEmpty() || key.startsWith(u'\\')) ? key : u'\\' + key;
}

void TQVForm::formLoaded()
{
    if (m_loaded || !m_window)
        return;
    m_loaded = true;
    const QList<TQVPageControl *> pageControls = m_window->findChildren<TQVPageControl *>();
    for (TQVPageControl *pageControl : pageControls)
        pageControl->loaded();
    // Grids on pages the user never opens keep their stored layout all the same.
    const QList<QWidget *> children = m_window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (auto *part = dynamic_cast<LoadedWithForm *>(child))
            part->loaded();
    }
    restorePlacement();
}

void TQVForm::restorePlacement()
{
    if (!m_savePosition || m_regKey.isEmpty() || !m_window)
        return;
    try {
        TQVRegistry registry;
        if (!registry.openKey(m_regKey, true))
            throw ERegistryException(u"Failed to create key %1"_s.arg(m_regKey));
        if (registry.readBool(WindowMaximised)) {
            m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
            return;
        }
        m_window->move(registry.readInteger(Left), registry.readInteger(Top));
        if (m_saveSize)
            m_window->resize(registry.readInteger(Width), registry.readInteger(Height));
    } catch (const Exception &) {
        // Nothing stored yet, or something unreadable: start at a known place on the screen.
        m_window->move(FallbackPosition);
    }
}

void TQVForm::savePlacement() noexcept
{
    if (!m_savePosition || m_regKey.isEmpty() || !m_window)
        return;
    try {
        TQVRegistry registry;
        if (!registry.openKey(m_regKey, true))
            return;
        registry.writeInteger(WindowMaximised, m_window->isMaximized() ? 1 : 0);
        registry.writeInteger(Top, m_window->y());
        registry.writeInteger(Left, m_window->x());
        registry.writeInteger(Height, m_window->height());
        registry.writeInteger(Width, m_window->width());
        registry.closeKey();
    } catch (...) {
        // The window is going away; a placement that cannot be stored is simply not remembered.
    }
}
