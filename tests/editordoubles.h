#pragma once

// The editor's property dialogs for tests: every call is recorded with the
// values the dialog was shown with, and answered from a queue. An empty
// answer cancels; a value confirms and becomes what the dialog holds. With
// the queue empty the dialog is cancelled.

#include "editor/propertydialogs.h"

#include <QList>
#include <QQueue>

#include <optional>

namespace qm::test {

class ScriptedPropertyDialogs : public IPropertyDialogs
{
public:
    template <typename T> struct Script
    {
        QQueue<std::optional<T>> answers;
        QList<T> shown;

        bool run(T &values)
        {
            shown.append(values);
            if (answers.isEmpty())
                return false;
            const std::optional<T> answer = answers.dequeue();
            if (!answer)
                return false;
            values = *answer;
            return true;
        }
    };

    bool editText(TextProperties &values) override { return text.run(values); }
    bool editField(FieldProperties &values) override { return field.run(values); }
    bool editSerial(SerialProperties &values) override { return serial.run(values); }
    bool editSize(SizeProperties &values) override { return size.run(values); }
    bool editBarcode(BarcodeProperties &values) override { return barcode.run(values); }

    Script<TextProperties> text;
    Script<FieldProperties> field;
    Script<SerialProperties> serial;
    Script<SizeProperties> size;
    Script<BarcodeProperties> barcode;
};

} // namespace qm::test
