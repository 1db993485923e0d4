#pragma once

namespace chartrek {

// Asked before the figure is replaced by a new picture: the owner of the document may offer to
// save it first. Replace: go on without asking more (saved, or the user let it go); Keep: the
// figure stays; Ask: nothing unsaved to speak of, ask about the points as ever.
class UnsavedWork {
public:
    enum Answer { Ask, Replace, Keep };
    virtual ~UnsavedWork() = default;
    virtual Answer beforeReplacing() = 0;
};

} // namespace chartrek
