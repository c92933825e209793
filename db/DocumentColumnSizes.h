#pragma once

namespace kront
{

// What the settings window lets the operator type for the documents, in
// characters: a new document records the name of the metrology body in quotes
// in a column of 255 characters, and the post of the head in a column of 80.
int organNameMaxLength();
int rukDolgnostMaxLength();

} // namespace kront
