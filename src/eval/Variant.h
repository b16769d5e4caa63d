#pragma once
// Placeholder until the engine's value type lands.
class Variant
{
};
