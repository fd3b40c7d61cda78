#include "editorcommands.h"

#include <QCoreApplication>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

} // namespace

CreateElementCommand::CreateElementCommand(Design &design, Element element)
    : QUndoCommand(tr("Objekt erstellen"))
    , m_design(design)
    , m_element(std::move(element))
{ }

void CreateElementCommand::redo()
{
    m_design.elements.push_back(m_element);
}

void CreateElementCommand::undo()
{
    m_design.elements.pop_back();
}

ReplaceElementCommand::ReplaceElementCommand(Design &design, int row, Element after, const QString &text)
    : QUndoCommand(text)
    , m_design(design)
    , m_row(row)
    , m_before(design.element(row))
    , m_after(std::move(after))
{ }

void ReplaceElementCommand::redo()
{
    m_design.element(m_row) = m_after;
}

void ReplaceElementCommand::undo()
{
    m_design.element(m_row) = m_before;
}

MoveElementCommand::MoveElementCommand(Design &design, int row, Element moved)
    : ReplaceElementCommand(design, row, std::move(moved), tr("Objekt verschieben"))
{ }

RepointElementCommand::RepointElementCommand(Design &design, int row, Element changed)
    : ReplaceElementCommand(design, row, std::move(changed), tr("Objektpunkt versetzen"))
{ }

ChangeElementCommand::ChangeElementCommand(Design &design, int row, Element changed)
    : ReplaceElementCommand(design, row, std::move(changed), tr("Objekt ändern"))
{ }

namespace {

Element deleted(Element e)
{
    e.kind = ElementKind::Deleted;
    return e;
}

} // namespace

DeleteElementCommand::DeleteElementCommand(Design &design, int row)
    : ReplaceElementCommand(design, row, deleted(design.element(row)), tr("Objekt löschen"))
{ }

NewDesignCommand::NewDesignCommand(Design &design, Design fresh)
    : QUndoCommand(tr("Neu"))
    , m_design(design)
    , m_other(std::move(fresh))
{ }

void NewDesignCommand::swap()
{
    const QString mode = m_design.mode;
    std::swap(m_design, m_other);
    m_other.mode = m_design.mode;
    m_design.mode = mode;
}

void NewDesignCommand::redo()
{
    swap();
}

void NewDesignCommand::undo()
{
    swap();
}

SizeDescriptionCommand::SizeDescriptionCommand(
    Design &design, QString widthMm, QString heightMm, QString description)
    : QUndoCommand(tr("Größe und Beschreibung"))
    , m_design(design)
    , m_width(std::move(widthMm))
    , m_height(std::move(heightMm))
    , m_description(std::move(description))
{ }

void SizeDescriptionCommand::swap()
{
    std::swap(m_design.widthMm, m_width);
    std::swap(m_design.heightMm, m_height);
    std::swap(m_design.description, m_description);
}

void SizeDescriptionCommand::redo()
{
    swap();
}

void SizeDescriptionCommand::undo()
{
    swap();
}

} // namespace qm
