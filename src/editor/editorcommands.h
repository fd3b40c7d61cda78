#pragma once

#include "designs/design.h"

#include <QUndoCommand>

namespace qm {

// The changes of the element table and the design header, one command per
// kind, for the editor's QUndoStack. Each command holds the design by
// reference and both states it switches between; the editor builds the new
// state first (where a bad cell throws), so a command never fails.

// Command ids, for tests and for telling commands apart.
enum EditorCommandId {
    CreateElementId = 1,
    MoveElementId,
    RepointElementId,
    ChangeElementId,
    DeleteElementId,
    NewDesignId,
    SizeDescriptionId,
};

// A new element as the last row: drawn over all others.
class CreateElementCommand : public QUndoCommand
{
public:
    CreateElementCommand(Design &design, Element element);
    void redo() override;
    void undo() override;
    int id() const override { return CreateElementId; }

private:
    Design &m_design;
    Element m_element;
};

// Replaces one row with another state of it; the base of the four kinds
// of change to an existing element.
class ReplaceElementCommand : public QUndoCommand
{
public:
    ReplaceElementCommand(Design &design, int row, Element after, const QString &text);
    void redo() override;
    void undo() override;
    int row() const { return m_row; }

private:
    Design &m_design;
    int m_row;
    Element m_before;
    Element m_after;
};

// The element shifted by the move tool.
class MoveElementCommand : public ReplaceElementCommand
{
public:
    MoveElementCommand(Design &design, int row, Element moved);
    int id() const override { return MoveElementId; }
};

// One grip point of a line, rectangle or bitmap set by the change tool.
class RepointElementCommand : public ReplaceElementCommand
{
public:
    RepointElementCommand(Design &design, int row, Element changed);
    int id() const override { return RepointElementId; }
};

// New properties of a text, field or serial-or-date element.
class ChangeElementCommand : public ReplaceElementCommand
{
public:
    ChangeElementCommand(Design &design, int row, Element changed);
    int id() const override { return ChangeElementId; }
};

// The row's kind letter becomes "#": the element is no longer drawn, has no
// grip points and is left out when saving. Undo gives the letter back.
class DeleteElementCommand : public ReplaceElementCommand
{
public:
    DeleteElementCommand(Design &design, int row);
    int id() const override { return DeleteElementId; }
};

// The whole design replaced by a new, empty one (description, size and an
// empty file name); undo brings the previous design back with its file name.
// The editor mode stays.
class NewDesignCommand : public QUndoCommand
{
public:
    NewDesignCommand(Design &design, Design fresh);
    void redo() override;
    void undo() override;
    int id() const override { return NewDesignId; }

private:
    void swap();
    Design &m_design;
    Design m_other;
};

// Width, height and description of the design; the elements stay.
class SizeDescriptionCommand : public QUndoCommand
{
public:
    SizeDescriptionCommand(Design &design, QString widthMm, QString heightMm, QString description);
    void redo() override;
    void undo() override;
    int id() const override { return SizeDescriptionId; }

private:
    void swap();
    Design &m_design;
    QString m_width;
    QString m_height;
    QString m_description;
};

} // namespace qm
