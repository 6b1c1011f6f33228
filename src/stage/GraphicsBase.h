// A stage layer: a drawable with its own transform (identity unless the layer changes it). Every
// layer's Draw first sets this transform on the sprite batch.
#pragma once

#include "gfx/Matrix.h"
#include "stage/GameObjectBase.h"

namespace zepa {

class CGraphicsBase : public CGameObjectBase {
  public:
    const Matrix4x4& transform() const { return transform_; }

  protected:
    Matrix4x4 transform_ = MatrixIdentity();
};

}  // namespace zepa
