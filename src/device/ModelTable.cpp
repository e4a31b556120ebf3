#include "ModelTable.h"

namespace models {

const Model* modelForTypeCode(int typeCode)
{
    for (const Model& m : kModels)
        if (m.typeCode == typeCode)
            return &m;
    return nullptr;
}

const Model* modelByName(const QString& name)
{
    for (const Model& m : kModels)
        if (name == QLatin1String(m.name))
            return &m;
    return nullptr;
}

}  // namespace models
