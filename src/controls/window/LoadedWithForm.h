#pragma once

// A child widget that finishes its set-up once its window's definition is applied: the persisting
// form base (TQVForm) calls loaded() on every such child of its window. The form base knows only
// this, so the window layer stays free of the data-aware widgets that implement it (the grid
// restores its column layout here).
class LoadedWithForm
{
public:
    virtual ~LoadedWithForm() = default;
    virtual void loaded() = 0;

protected:
    LoadedWithForm() = default;
    LoadedWithForm(const LoadedWithForm &) = default;
    LoadedWithForm &operator=(const LoadedWithForm &) = default;
};
