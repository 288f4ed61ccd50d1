// What scripts draw into a movie clip with the drawing API: fills and lines
// laid down one call at a time, kept as a shape the renderer draws like any
// other, below the clip's children.
//
// A fill runs from beginFill to endFill (or the next beginFill); each move
// inside it starts another outline of the same fill, and outlines left open
// are closed by a straight edge back to where they began. The edge that
// closes a fill's last outline is stroked with the line style of the moment,
// whether endFill draws it or the fill is still open when the clip is drawn.
// Fills are drawn below the lines drawn with them; a fill begun after lines
// covers them.
#pragma once

#include "movie/Limits.h"
#include "movie/Shape.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace movie {

class Drawing {
  public:
    // Edges one drawing keeps; further ones are ignored.
    static constexpr size_t kMaxEdges = Limits::kMaxShapeRecords;

    // No style: lines and fills drawn from now on are not shown.
    void SetLineStyle(std::optional<LineStyle> style);
    void BeginFill(std::optional<FillStyle> fill);
    void EndFill();
    void MoveTo(Point p);
    void LineTo(Point p);
    void CurveTo(Point control, Point to);
    // Forgets everything drawn, the line style and the fill.
    void Clear();

    bool Empty() const { return groups_.empty(); }
    // The drawing as a shape, bounds with strokes included. Rebuilt when
    // something was drawn since the last call.
    const Shape& GetShape() const;
    // Changes with every call that changes what the drawing shows, and
    // with the pixels of the script bitmaps it fills with.
    uint32_t Version() const;

  private:
    struct Outline {
        Point start;
        std::vector<Segment> segments;
    };
    struct Styled {
        std::vector<Outline> outlines;
    };
    struct Group {
        std::vector<FillStyle> fills;
        std::vector<Styled> fillOutlines; // per fill
        std::vector<LineStyle> lines;
        std::vector<Styled> lineOutlines; // per line style
    };

    Group& Current();
    void AddEdge(const Segment& s);
    // Closes the open fill's last outline by a stroked edge.
    void CloseFill();
    void Changed() { ++version_, built_ = false; }

    std::vector<Group> groups_;
    std::optional<LineStyle> lineStyle_;
    int fill_ = -1;         // index of the open fill in the last group, -1 none
    int line_ = -1;         // index of the current line style in the last group, -1 none
    bool lineOpen_ = false; // the line style's last outline ends at the pen
    bool fillOpen_ = false; // the fill's last outline ends at the pen
    Point pen_;
    size_t edges_ = 0;
    uint32_t version_ = 0;

    mutable Shape shape_;
    mutable bool built_ = true;
};

} // namespace movie
