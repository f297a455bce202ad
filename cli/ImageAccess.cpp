#include "ImageAccess.h"

namespace cli {

void tellNotes(const Context& context, species::ImageDocument& document) {
    context.notices.tell(context.err, document.path(), document.takeNotes());
}

base::Result<species::ImageReport> openImage(const Context& context,
                                             species::ImageDocument& document) {
    base::Result<species::ImageReport> report = document.open();
    tellNotes(context, document);
    if (!report.ok())
        return report.error();
    if (const species::KindTable& stats = report.value().table(species::Kind::BaseStats);
        !stats.place)
        return *stats.missing;
    return report;
}

} // namespace cli
