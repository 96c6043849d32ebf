#pragma once

// Controls anchored to the edges of their parent, as the class library's anchors keep them: a control
// anchored left and right stretches with the parent's width, one anchored only right moves with it, and
// likewise for top and bottom. A stretched control grows no larger than its maximum size.

#include <QPointer>
#include <QWidget>

#include <vector>

namespace carlume {

/// Edges a control keeps its distance to.
enum TAnchorKind : unsigned {
    akLeft = 1u << 0,   ///< the left edge
    akTop = 1u << 1,    ///< the top edge
    akRight = 1u << 2,  ///< the right edge
    akBottom = 1u << 3, ///< the bottom edge
};

/// The anchored controls of one parent. The parent calls `Apply` from its resize event.
class TAnchorSet {
public:
    /// Anchors `control` (a child of the parent) by `anchors` (TAnchorKind flags), keeping the distances
    /// it has now to the parent's edges.
    void Add(QWidget& control, unsigned anchors);
    /// Moves and sizes the controls for the parent's current size.
    void Apply();
    /// Lifts every right anchor: until `RestoreRight` the parent's width moves and stretches nothing.
    void LiftRight();
    /// Gives the right anchors back, keeping the distances the controls have now.
    void RestoreRight();

private:
    struct TAnchored {
        QPointer<QWidget> Control;
        unsigned Anchors = 0;
        int Right = 0;  // distance of the right edge to the parent's right edge
        int Bottom = 0; // distance of the bottom edge to the parent's bottom edge
        int Width = 0;
        int Height = 0;
    };
    static void Measure(TAnchored& anchored);

    std::vector<TAnchored> controls_;
    bool rightLifted_ = false;
};

} // namespace carlume
