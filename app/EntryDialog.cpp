#include "EntryDialog.h"

namespace app {

EntryDialog::EntryDialog(const QString& caption, QSize clientSize, QRect okButton,
                         std::vector<species::Part> parts)
    : SmallDialog(caption, clientSize, okButton), m_parts(std::move(parts)) {
}

void EntryDialog::handOver(const species::ByField<int>& numbers) {
    species::ByField<species::Value> values;
    for (const species::Part part : m_parts)
        for (const species::FieldDescriptor& field : species::fieldsOf(part))
            values[field.field] = numbers[field.field];
    emit accepted(values);
}

} // namespace app
