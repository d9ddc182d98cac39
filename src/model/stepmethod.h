#pragma once

// How a run advances from one step to the next. The windows always take the
// explicit Euler step; the lab and the command may choose the other two.
enum class StepMethod { Euler, SemiImplicit, RungeKutta4 };
