// saver/frame_loop_internal.h -- the two counting steps of the frame hooks, for the tests that drive
// them one pass at a time.
#pragma once

// True when the previous pass rendered, so the animation is due one step.
bool animationDue();
// Counts this pass; true when it is to render (the counter then reads -1).
bool takeRenderPass();
