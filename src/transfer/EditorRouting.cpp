#include "EditorRouting.h"

#include <array>

namespace {

struct Route
{
    const char* ending;
    Editors::Kind kind;
};
constexpr std::array<Route, 4> Routes { {
    { ".TNT", Editors::Kind::Tenant },
    { ".TMZ", Editors::Kind::TimeZone },
    { ".ATS", Editors::Kind::AutoSchedule },
    { ".ACD", Editors::Kind::AccessCode },
} };

} // namespace

Editors::Kind EditorRouting::editorFor(const QString& path)
{
    const QString ending = path.right(4).toUpper();
    for (const Route& route : Routes) {
        if (ending == QLatin1String(route.ending))
            return route.kind;
    }
    return Editors::Kind::Holiday;
}
